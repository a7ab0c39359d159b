/* Precedence with unary minus, typed values, an action inside a rule and
   error recovery on whole lines. */
%union { int ival; }
%token <ival> NUM
%type <ival> expr line
%left '+' '-'
%left '*' '/'
%right UMINUS
%%
input : /* empty */
      | input line
      ;
line  : '\n'                { $$ = 0; }
      | expr '\n'           { printf("%d\n", $1); $$ = $1; }
      | expr { $<ival>$ = $1 * 10; } '=' expr '\n'
                            { printf("%d %d\n", $<ival>2, $4); $$ = $4; }
      | error '\n'          { yyerrok; printf("bad line\n"); $$ = 0; }
      ;
expr  : expr '+' expr       { $$ = $1 + $3; }
      | expr '-' expr       { $$ = $1 - $3; }
      | expr '*' expr       { $$ = $1 * $3; }
      | expr '/' expr       { $$ = $3 ? $1 / $3 : 0; }
      | '-' expr %prec UMINUS { $$ = -$2; }
      | '(' expr ')'        { $$ = $2; }
      | NUM
      ;
%%
#include "charlex.h"
