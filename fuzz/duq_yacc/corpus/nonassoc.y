%token N
%nonassoc '<'
%left '+'
%%
e : e '<' e | e '+' e | N { $$ = $1; } ;
