%{
/* Levels of precedence as chains of one-symbol rules, some with actions,
   some without; a nonassociative comparison (its error entries make
   exception rows beyond the first), and recovery at ';'.  yylex prints
   each token it returns, so the output shows when the lookahead is read
   relative to the actions.  main() parses its argument twice: the second
   time the parser knows its rules from the first. */
#include <stdio.h>
int yylex();
void yyerror(const char *s);
int yyparse();
%}
%token NUM
%nonassoc '<' '='
%%
prog  : /* empty */
      | prog stmt
      ;
stmt  : cmp ';'             { printf("= %d\n", $1); }
      | error ';'           { printf("recovered\n"); yyerrok; }
      ;
cmp   : sum
      | sum '<' sum         { $$ = $1 < $3; }
      | sum '=' sum         { $$ = $1 == $3; }
      ;
sum   : term
      | sum '+' term        { $$ = $1 + $3; printf("add "); }
      ;
term  : unary
      | term '*' unary      { $$ = $1 * $3; printf("mul "); }
      ;
unary : post                { $$ = $1 + 100; printf("unary "); }
      | '-' unary           { $$ = -$2; }
      ;
post  : prim
      ;
prim  : NUM                 { printf("num "); }
      | '(' cmp ')'         { $$ = $2; }
      ;
%%
const char *in;
int yylex()
{
    int c;
    while (*in == ' ')
        ++in;
    c = *in;
    if (c == 0) {
        printf("<$> ");
        return 0;
    }
    ++in;
    if (c >= '0' && c <= '9') {
        yylval = c - '0';
        printf("<%c> ", c);
        return NUM;
    }
    printf("<%c> ", c);
    return c;
}
void yyerror(const char *s) { printf("[%s] ", s); }
int main(int argc, char **argv)
{
    int r;
    in = argv[1];
    r = yyparse();
    printf("result %d\n", r);
    in = argv[1];
    r = yyparse();
    printf("result %d\n", r);
    return 0;
}
