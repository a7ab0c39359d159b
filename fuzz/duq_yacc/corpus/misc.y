%{
int x;
%}
%union { int i; char c; }
%token <i> N 300
%type <c> s
%%
s : N { $$ = $<c>1; } a { x = $3; } | error ;
a : | a '\\n' ;
%%
int main(){}
