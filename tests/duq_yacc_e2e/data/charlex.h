/* The scanner, error routine and main() of the small test grammars, which
   include this file in their user code.  Tokens are single characters from
   stdin, blanks skipped; digits make NUM when the grammar has it, and a
   grammar maps other characters to its tokens by defining LEXMAP.  The
   first argument, when given, sets `option` for grammars with a variant. */
#include <stdio.h>
#include <stdlib.h>
#include <ctype.h>

#ifndef LEXMAP
#define LEXMAP(c) (c)
#endif

int yyparse();
int option;

int yylex()
{
    int c;
    while ((c = getchar()) == ' ')
        ;
    if (c == EOF)
        return 0;
#ifdef NUM
    if (isdigit(c)) {
        int v = c - '0';
        while (isdigit(c = getchar()))
            v = v * 10 + c - '0';
        ungetc(c, stdin);
        yylval.ival = v;
        return NUM;
    }
#endif
    return LEXMAP(c);
}

void yyerror(const char *s) { printf("%s\n", s); }

int main(int argc, char **argv)
{
    int r;
    if (argc > 1)
        option = atoi(argv[1]);
    r = yyparse();
    printf("result %d\n", r);
    return 0;
}
