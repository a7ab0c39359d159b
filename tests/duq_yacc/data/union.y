%union { int ival;
 char *s; }
%token <ival> NUM 300
%token ID
%type <s> s
%%
s : ID { $$ = 0; } | NUM { $$ = 0; } ;
