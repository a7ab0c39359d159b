%token IF ELSE X
%%
s : IF s | IF s ELSE s | X ;
