%{
#include <stdio.h>
#include <ctype.h>
int yylex();
void yyerror(const char *s);
int yyparse();
%}
%union { int ival; }
%token <ival> NUM
%type <ival> expr
%left '+' '-'
%left '*' '/'
%right UMINUS
%%
lines : /* empty */
      | lines expr '\n' { printf("%d\n", $2); }
      | lines error '\n' { yyerrok; printf("err\n"); }
      ;
expr : expr '+' expr { $$ = $1 + $3; }
     | expr '-' expr { $$ = $1 - $3; }
     | expr '*' expr { $$ = $1 * $3; }
     | expr '/' expr { $$ = $3 ? $1 / $3 : 0; }
     | '-' expr %prec UMINUS { $$ = -$2; }
     | '(' expr ')' { $$ = $2; }
     | NUM
     ;
%%
const char *in;
int yylex() {
  while (*in == ' ') in++;
  if (!*in) return 0;
  if (isdigit(*in)) { yylval.ival = 0; while (isdigit(*in)) yylval.ival = yylval.ival*10 + *in++ - '0'; return NUM; }
  return *in++;
}
void yyerror(const char *s) { printf("%s\n", s); }
int main(int argc, char **argv) { in = argv[1]; return yyparse(); }
