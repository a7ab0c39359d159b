/* A hand-written C tokenizer: the reference side of the scanner benchmark.
   It recognises exactly the tokens of ctok.l (longest match, keywords
   before identifiers) the way such a scanner is usually written: a switch
   on the first character, getc() on the input, a small push-back stack. */
#include <string.h>
#include "ctok.h"

#define TEXTMAX 200

#if defined( __GLIBC__ )
#define GETC( f ) getc_unlocked( f )
#else
#define GETC( f ) getc( f )
#endif

static FILE *in;
static char  text[ TEXTMAX + 1 ];
static int   leng;
static int   back[ TEXTMAX + 8 ];
static int   nback;

static int next( void )
{
    return nback ? back[ --nback ] : GETC( in );
}

static void unread( int c )
{
    if ( c != EOF ) back[ nback++ ] = c;
}

static void add( int c )
{
    if ( leng < TEXTMAX ) text[ leng++ ] = (char) c;
}

static int isalpha_( int c )
{
    return ( c >= 'a' && c <= 'z' ) || ( c >= 'A' && c <= 'Z' ) || c == '_';
}

static int isdigit_( int c ) { return c >= '0' && c <= '9'; }

static int ishex( int c )
{
    return isdigit_( c ) || ( c >= 'a' && c <= 'f' ) || ( c >= 'A' && c <= 'F' );
}

static int keyword( void )
{
    int i;
    text[ leng ] = 0;
    for ( i = 0; i < CTOK_NKEYWORDS; i++ )
        if ( ctok_keywords[ i ][ 0 ] == text[ 0 ] && strcmp( ctok_keywords[ i ], text ) == 0 )
            return T_KW + i;
    return T_IDENT;
}

/* [0-9]+ ( "." [0-9]+ ( [eE] [-+]? [0-9]+ )? )?, the first digit read. */
static int number( int c )
{
    add( c );
    if ( c == '0' ) {
        int x = next();
        if ( x == 'x' || x == 'X' ) {
            int h = next();
            if ( ishex( h ) ) {
                add( x );
                while ( ishex( h ) ) { add( h ); h = next(); }
                unread( h );
                return T_NUMBER;
            }
            unread( h );
        }
        unread( x );
    }
    while ( isdigit_( c = next() ) ) add( c );
    if ( c == '.' ) {
        int d = next();
        if ( isdigit_( d ) ) {
            add( c );
            while ( isdigit_( d ) ) { add( d ); d = next(); }
            if ( d == 'e' || d == 'E' ) {
                int s = next(), f = s;
                if ( s == '-' || s == '+' ) f = next();
                if ( isdigit_( f ) ) {
                    add( d );
                    if ( f != s ) add( s );
                    while ( isdigit_( f ) ) { add( f ); f = next(); }
                    unread( f );
                    return T_NUMBER;
                }
                unread( f );
                if ( f != s ) unread( s );
            }
            unread( d );
            return T_NUMBER;
        }
        unread( d );
    }
    unread( c );
    return T_NUMBER;
}

/* A quoted string or character constant; on a malformed one only the
   quote is a token (T_OTHER), as the longest-match rules would have it. */
static int quoted( int q, int code, int nonempty )
{
    int c, n = 0;
    add( q );
    for ( ;; ) {
        c = next();
        if ( c == q && ( n > 0 || !nonempty ) ) { add( c ); return code; }
        if ( c == '\\' ) {
            int e = next();
            if ( e == '\n' || e == EOF ) { unread( e ); unread( c ); break; }
            add( c ); add( e );
        } else if ( c == '\n' || c == EOF || c == q ) {
            unread( c );
            break;
        } else {
            add( c );
        }
        n++;
    }
    while ( leng > 1 ) unread( (unsigned char) text[ --leng ] );
    return T_OTHER;
}

static int op( int c )
{
    int d = next(), i;
    add( c );
    if ( c == '.' && d == '.' ) {
        int e = next();
        if ( e == '.' ) { add( d ); add( e ); return T_OP + 0; }
        unread( e );
    } else if ( ( c == '<' || c == '>' ) && d == c ) {
        int e = next();
        add( d );
        if ( e == '=' ) { add( e ); return T_OP + ( c == '<' ? 1 : 2 ); }
        unread( e );
        return T_OP + ( c == '<' ? 6 : 7 );
    } else if ( d != EOF ) {
        for ( i = 3; i < CTOK_NOPS; i++ )
            if ( ctok_ops[ i ][ 0 ] == c && ctok_ops[ i ][ 1 ] == d && ctok_ops[ i ][ 2 ] == 0 ) {
                add( d );
                return T_OP + i;
            }
    }
    unread( d );
    return T_OP1 + c;
}

static int scan( void )
{
    int c;
    for ( ;; ) {
        leng = 0;
        c = next();
        switch ( c ) {
        case EOF:
            return 0;
        case ' ': case '\t': case '\n':
            continue;
        case '"':
            return quoted( c, T_STRING, 0 );
        case '\'':
            return quoted( c, T_CHARC, 1 );
        case '/': {
            int d = next();
            if ( d == '*' ) {
                int p = 0;
                add( c ); add( d );
                while ( ( c = next() ) != EOF ) {
                    if ( p == '*' && c == '/' ) break;
                    p = c;
                }
                return T_COMMENT;
            }
            if ( d == '/' ) {
                add( c ); add( d );
                while ( ( c = next() ) != '\n' && c != EOF ) add( c );
                unread( c );
                return T_COMMENT;
            }
            unread( d );
            return op( '/' );
        }
        case '-': case '+': case '*': case '%': case '<': case '>': case '=':
        case '!': case '&': case '|': case '^': case '~': case '?': case ':':
        case ';': case ',': case '.': case '(': case ')': case '[': case ']':
        case '{': case '}':
            return op( c );
        default:
            if ( isalpha_( c ) ) {
                add( c );
                while ( isalpha_( c = next() ) || isdigit_( c ) ) add( c );
                unread( c );
                return keyword();
            }
            if ( isdigit_( c ) ) return number( c );
            add( c );
            return T_OTHER;
        }
    }
}

int main( int argc, char **argv )
{
    int t;
    in = argc > 1 ? fopen( argv[ 1 ], "r" ) : stdin;
    if ( in == 0 ) return 2;
    while ( ( t = scan() ) != 0 ) ctok_note( t, leng );
    ctok_report();
    return 0;
}
