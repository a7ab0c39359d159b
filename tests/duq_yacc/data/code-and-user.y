%{
int x;
%}
%token A 'abc' '+'
%%
s : A 'abc' '+' ;
%%
int tail;
