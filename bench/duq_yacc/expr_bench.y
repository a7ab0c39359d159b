%{
/* The benchmark's generated parser: expression statements read from an
   in-memory token array.  main() times the scanner alone, then the whole
   parse, and prints the figures. */
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
int yylex();
void yyerror(const char *s);
int yyparse();
long checksum;
%}
%token NUM
%left '+' '-'
%left '*' '/'
%right UMINUS
%%
prog : /* empty */
     | prog stmt
     ;
stmt : expr ';'             { checksum += $1; }
     | error ';'            { yyerrok; }
     ;
expr : expr '+' expr        { $$ = ($1 + $3) & 0xffff; }
     | expr '-' expr        { $$ = ($1 - $3) & 0xffff; }
     | expr '*' expr        { $$ = ($1 * $3) & 0xffff; }
     | expr '/' expr        { $$ = $3 ? $1 / $3 : 0; }
     | '-' expr %prec UMINUS { $$ = (-$2) & 0xffff; }
     | '(' expr ')'         { $$ = $2; }
     | NUM
     ;
%%
static int *toks;
static long ntok, pos;

int yylex()
{
    int t;
    if (pos >= ntok)
        return 0;
    t = toks[pos++];
    if (t == NUM)
        yylval = 1 + (int) (pos % 7);
    return t;
}

void yyerror(const char *s) { fprintf(stderr, "%s at token %ld\n", s, pos); }

static double now()
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

int main(int argc, char **argv)
{
    static const int pattern[] = {
        NUM, '+', NUM, '*', '(', NUM, '-', NUM, ')', ';',
        '-', NUM, '*', NUM, '/', '(', NUM, '+', NUM, ')', ';',
        '(', '(', NUM, ')', ')', '-', NUM, '-', NUM, '*', '-', NUM, ';',
    };
    long want = argc > 1 ? atol(argv[1]) : 2000000;
    long n = sizeof pattern / sizeof pattern[0], i;
    double t0, t1, t2, t3, scan, total;
    long sink = 0;
    int r;
    ntok = (want / n + 1) * n;
    toks = (int *) malloc(ntok * sizeof *toks);
    for (i = 0; i < ntok; ++i)
        toks[i] = pattern[i % n];

    t0 = now();
    pos = 0;
    while ((r = yylex()) != 0)
        sink += r;
    t1 = now();
    pos = 0;
    t2 = now();
    r = yyparse();
    t3 = now();
    scan = t1 - t0;
    total = t3 - t2;
    printf("tokens:                      %ld\n", ntok);
    printf("scanner alone:               %.4f s\n", scan);
    printf("parse (scanner + parser):    %.4f s\n", total);
    printf("tokens per second:           %.0f\n", ntok / total);
    printf("parser share of total time:  %.1f %%\n", total > 0 ? 100.0 * (total - scan) / total : 0.0);
    printf("result %d, checksum %ld (%ld)\n", r, checksum, sink);
    return r;
}
