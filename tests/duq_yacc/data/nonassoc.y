%token N
%nonassoc '<'
%%
e : e '<' e | N ;
