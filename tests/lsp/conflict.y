%token NUM
%%
expr : expr '-' expr
     | NUM
     ;
