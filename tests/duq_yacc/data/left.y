%token N
%left '+'
%%
e : e '+' e | N ;
