/* The action macros: YYERROR starts recovery as an error the parser found
   would, without the message; yyclearin drops a lookahead read for the
   reduction; YYACCEPT and YYABORT end the parse. */
%union { int ival; }
%token <ival> NUM
%type <ival> val kv
%%
list : | list stmt ;
stmt : val ';'        { printf("value %d\n", $1); }
     | val '!'        { if ($1 == 0) YYERROR; printf("checked %d\n", $1); }
     | 'a'            { printf("accept after %d errors\n", yynerrs); YYACCEPT; }
     | 'x'            { printf("abort\n"); YYABORT; }
     | 'k' kv ';'     { printf("kept %d\n", $2); }
     | error ';'      { printf("recovered\n"); yyerrok; }
     ;
val  : NUM
     | '(' val ')'    { $$ = $2; }
     ;
kv   : NUM            { printf("cleared\n"); yyclearin; }
     | NUM '+' NUM    { $$ = $1 + $3; }
     ;
%%
#include "charlex.h"
