%union { int i; char c; }
%token <i> N
%type <c> s
%%
s : N { $$ = $1 + $<c>1 + $<i>0; } ;
