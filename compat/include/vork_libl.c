/* The library of lex (-ll) and of yacc (-ly) for programs that rely on it:
 * a classic specification often has no main() and no yywrap(), a classic
 * grammar no main() and no yyerror(), and was linked with -ll or -ly,
 * whose library supplied them.  vork-cc compiles this file as C into the
 * program when it is given -ll or -ly (VORK_LIBL, VORK_LIBY).
 *
 * Every definition is weak, so the program's own main(), yywrap() or
 * yyerror() is the one that counts, whatever its type; these fill only the
 * gaps, as the library's members did.  yywrap() says the input is over;
 * yyerror() writes the message and a newline to standard error; main()
 * runs the parser once (-ly) or the scanner to the end of its input (-ll)
 * and ends with 0, or 1 when the parse failed. */
#include <stdio.h>

#if defined( __GNUC__ )
#define VORK_LIB_WEAK __attribute__( ( weak ) )
#else
#define VORK_LIB_WEAK
#endif

#ifdef VORK_LIBL
int yylex( void );
VORK_LIB_WEAK int yywrap( void ) { return 1; }
#endif

#ifdef VORK_LIBY
int yyparse( void );
VORK_LIB_WEAK void yyerror( const char *s ) { fprintf( stderr, "%s\n", s ); }
#endif

#if defined( VORK_LIBL ) || defined( VORK_LIBY )
VORK_LIB_WEAK int main( void )
{
#ifdef VORK_LIBY
    return yyparse() != 0;
#else
    while ( yylex() != 0 )
        ;
    return 0;
#endif
}
#endif
