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

/* The hand-written equivalent: recursive descent with precedence climbing
   over the same tokens (through the same yylex), with the same actions and
   the same recovery (skip to the next ';'), so that the generated parser
   and the parser one would write by hand run side by side on one input. */
static int look, lookval, handError;

static void advance(void)
{
    look = yylex();
    lookval = yylval;
}

static int binaryLevel(int t)
{
    return t == '+' || t == '-' ? 1 : t == '*' || t == '/' ? 2 : 0;
}

static int handExpr(int minLevel);

/* Unary minus binds tighter than every binary operator (%prec UMINUS). */
static int handUnary(void)
{
    int v;
    if (look == '-') {
        advance();
        return (-handUnary()) & 0xffff;
    }
    if (look == NUM) {
        v = lookval;
        advance();
        return v;
    }
    if (look == '(') {
        advance();
        v = handExpr(1);
        if (look != ')') {
            handError = 1;
            return 0;
        }
        advance();
        return v;
    }
    handError = 1;
    return 0;
}

static int handExpr(int minLevel)
{
    int lhs = handUnary(), rhs, op, level;
    while (!handError && (level = binaryLevel(look)) >= minLevel && level > 0) {
        op = look;
        advance();
        rhs = handExpr(level + 1); /* left associative */
        switch (op) {
        case '+': lhs = (lhs + rhs) & 0xffff; break;
        case '-': lhs = (lhs - rhs) & 0xffff; break;
        case '*': lhs = (lhs * rhs) & 0xffff; break;
        default: lhs = rhs ? lhs / rhs : 0; break;
        }
    }
    return lhs;
}

static int handParse(void)
{
    int v, errors = 0;
    advance();
    while (look != 0) {
        handError = 0;
        v = handExpr(1);
        if (!handError && look == ';') {
            checksum += v;
            advance();
            continue;
        }
        yyerror("syntax error");
        ++errors;
        while (look != 0 && look != ';')
            advance();
        if (look == ';')
            advance();
    }
    return errors ? 1 : 0;
}

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
    double t0, t1, t2, t3, t4, t5, scan, total, hand;
    long sink = 0, generated;
    int r, rh, lap;
    ntok = (want / n + 1) * n;
    toks = (int *) malloc(ntok * sizeof *toks);
    for (i = 0; i < ntok; ++i)
        toks[i] = pattern[i % n];

    /* The best of five rounds of each, so that a busy machine's pauses
       count against neither side. */
    scan = total = hand = 1e9;
    for (lap = 0; lap < 5; ++lap) {
        t0 = now();
        pos = 0;
        while ((r = yylex()) != 0)
            sink += r;
        t1 = now();
        pos = 0;
        checksum = 0;
        t2 = now();
        r = yyparse();
        t3 = now();
        generated = checksum;
        checksum = 0;
        pos = 0;
        t4 = now();
        rh = handParse();
        t5 = now();
        if (t1 - t0 < scan)
            scan = t1 - t0;
        if (t3 - t2 < total)
            total = t3 - t2;
        if (t5 - t4 < hand)
            hand = t5 - t4;
    }
    printf("tokens:                      %ld\n", ntok);
    printf("scanner alone:               %.4f s\n", scan);
    printf("parse (scanner + parser):    %.4f s\n", total);
    printf("tokens per second:           %.0f\n", ntok / total);
    printf("parser share of total time:  %.1f %%\n", total > 0 ? 100.0 * (total - scan) / total : 0.0);
    printf("hand-written parser:         %.4f s (same tokens, scanner and actions)\n", hand);
    printf("generated / hand-written:    %.2f\n", hand > 0 ? total / hand : 0.0);
    printf("result %d, checksum %ld (%ld)\n", r, generated, sink / 5);
    if (rh != r || checksum != generated) {
        printf("the hand-written parser disagrees: result %d, checksum %ld\n", rh, checksum);
        return 1;
    }
    return r;
}
