/* A small language with eight precedence levels, ?: on the right, blocks
   and statement-level error recovery; its own scanner reads words and
   two-character operators. */
%{
#include <stdio.h>
#include <ctype.h>
int yylex();
void yyerror(const char *s);
int yyparse();
int vars[26];
%}
%union { int v; int id; }
%token <v> NUM
%token <id> ID
%token PRINT OR AND EQ NE LE GE
%type <v> expr
%right '?' ':'
%left OR
%left AND
%left EQ NE
%left '<' '>' LE GE
%left '+' '-'
%left '*' '/' '%'
%right '!' UMINUS
%%
prog : /* empty */
     | prog stmt
     ;
stmt : ID '=' expr ';'           { vars[$1] = $3; }
     | PRINT expr ';'            { printf("%d\n", $2); }
     | '{' prog '}'
     | ';'
     | error ';'                 { yyerrok; printf("error\n"); }
     ;
expr : expr '?' expr ':' expr    { $$ = $1 ? $3 : $5; }
     | expr OR expr              { $$ = $1 || $3; }
     | expr AND expr             { $$ = $1 && $3; }
     | expr EQ expr              { $$ = $1 == $3; }
     | expr NE expr              { $$ = $1 != $3; }
     | expr '<' expr             { $$ = $1 < $3; }
     | expr '>' expr             { $$ = $1 > $3; }
     | expr LE expr              { $$ = $1 <= $3; }
     | expr GE expr              { $$ = $1 >= $3; }
     | expr '+' expr             { $$ = $1 + $3; }
     | expr '-' expr             { $$ = $1 - $3; }
     | expr '*' expr             { $$ = $1 * $3; }
     | expr '/' expr             { $$ = $3 ? $1 / $3 : 0; }
     | expr '%' expr             { $$ = $3 ? $1 % $3 : 0; }
     | '!' expr                  { $$ = !$2; }
     | '-' expr %prec UMINUS     { $$ = -$2; }
     | '(' expr ')'              { $$ = $2; }
     | NUM
     | ID                        { $$ = vars[$1]; }
     ;
%%
int yylex()
{
    int c, d;
    while (isspace(c = getchar()))
        ;
    if (c == EOF)
        return 0;
    if (isdigit(c)) {
        int v = c - '0';
        while (isdigit(c = getchar()))
            v = v * 10 + c - '0';
        ungetc(c, stdin);
        yylval.v = v;
        return NUM;
    }
    if (islower(c)) {
        char word[16];
        int n = 0;
        word[n++] = (char) c;
        while (islower(c = getchar()) && n < 15)
            word[n++] = (char) c;
        ungetc(c, stdin);
        word[n] = 0;
        if (n == 5 && word[0] == 'p' && word[1] == 'r' && word[2] == 'i' && word[3] == 'n' && word[4] == 't')
            return PRINT;
        yylval.id = word[0] - 'a';
        return ID;
    }
    d = getchar();
    if (c == '|' && d == '|') return OR;
    if (c == '&' && d == '&') return AND;
    if (c == '=' && d == '=') return EQ;
    if (c == '!' && d == '=') return NE;
    if (c == '<' && d == '=') return LE;
    if (c == '>' && d == '=') return GE;
    ungetc(d, stdin);
    return c;
}
void yyerror(const char *s) { printf("%s\n", s); }
int main() { int r = yyparse(); printf("result %d\n", r); return 0; }
