/* Token codes and the token-stream summary shared by the generated C
   tokenizer (ctok.l) and the hand-written one (handscan.c), so that both
   print the same text for the same token stream. */
#ifndef CTOK_H
#define CTOK_H

#include <stdio.h>

#define T_IDENT    1
#define T_NUMBER   2
#define T_STRING   3
#define T_CHARC    4
#define T_COMMENT  5
#define T_OTHER    6
#define T_KW      10   /* + index in ctok_keywords */
#define T_OP      60   /* + index in ctok_ops */
#define T_OP1    100   /* + the character of a one-character operator */

static const char *const ctok_keywords[] = {
    "auto", "break", "case", "char", "const", "continue", "default", "do",
    "double", "else", "enum", "extern", "float", "for", "goto", "if",
    "int", "long", "register", "return", "short", "signed", "sizeof", "static",
    "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while",
};
#define CTOK_NKEYWORDS 32

static const char *const ctok_ops[] = {
    "...", "<<=", ">>=", "->", "++", "--", "<<", ">>", "<=", ">=", "==",
    "!=", "&&", "||", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=",
};
#define CTOK_NOPS 22

static unsigned long ctok_count[ 256 ];
static unsigned long ctok_sum;

/* One token of the stream: its code and the length of its text. */
static void ctok_note( int code, int len )
{
    ctok_count[ code & 255 ]++;
    ctok_sum = ctok_sum * 31u + (unsigned long) code * 1000u + (unsigned long) len;
}

static void ctok_report( void )
{
    int t;
    unsigned long total = 0;
    for ( t = 0; t < 256; t++ ) {
        if ( ctok_count[ t ] ) printf( "%d %lu\n", t, ctok_count[ t ] );
        total += ctok_count[ t ];
    }
    printf( "tokens %lu checksum %lu\n", total, ctok_sum );
}

#endif
