%{
#include <stdio.h>
int yylex();
void yyerror(const char *s);
int yyparse();
%}
%union { int i; }
%token <i> NUM
%token PLUS
%type <i> sum
%%
top : sum
      { printf("= %d ", $1); }
    ;
sum : sum PLUS { $<i>$ = 7; } NUM { $$ = $1 + $4; }
    | NUM
    ;
%%
const char *in;
int yylex()
{
    switch (*in) {
    case 0: return 0;
    case '+': ++in; return PLUS;
    default: yylval.i = *in++ - '0'; return NUM;
    }
}
void yyerror(const char *s) { printf("[%s] ", s); }
int main(int argc, char **argv) { in = argv[1]; return yyparse(); }
