/* The else may belong to either if. */
%token IF THEN ELSE COND X
%%
stmt : IF COND THEN stmt
     | IF COND THEN stmt ELSE stmt
     | X
     ;
