%token A
%%
s : A ;
