/* Forced in front of every source that vork-cc compiles.
 *
 * The generators emit C written for compilers that declared a function
 * implicitly at its first call.  A generated scanner calls yyreject() from
 * its REJECT macro and yywrap() at end of input before the skeleton or the
 * user's code defines them, and a parser calls yylex() before the included
 * scanner defines it.  C++ has no implicit declarations, so they are given
 * here, with the types their definitions have.
 */
#ifndef VORK_COMPAT_OLDC_H
#define VORK_COMPAT_OLDC_H

#ifdef __cplusplus
extern "C++" {
#endif
int yyreject(void);
int yywrap(void);
int yylex(void);
#ifdef __cplusplus
}
#endif

#endif
