/* Forced in front of every source that vork-cc compiles.
 *
 * The generators emit C written for compilers that declared a function
 * implicitly at its first call, and classic lex/yacc programs are written
 * the same way: main() in the grammar's last section calls yyparse()
 * before the parser engine appended after it defines it, a parser calls
 * yylex() before the included scanner defines it, a scanner calls
 * yyreject() from its REJECT macro and yywrap() at end of input before
 * anything defines them, and actions call the input helpers.  C++ has no
 * implicit declarations, so they are given here.
 *
 * Each declaration has exactly the type of the definition that the
 * skeletons (yaccpar, ncform) or the new-project templates give, so none
 * can ever conflict with it; `yyparse()` in C++ is `yyparse(void)`.
 * yyerror is left out on purpose: programs define it as void or as
 * (implicit) int, and a declaration would clash with one of the two; the
 * user's yyerror comes before the parser engine that calls it anyway.
 * input(), output() and unput() are macros of the generated scanner.
 */
#ifndef VORK_COMPAT_OLDC_H
#define VORK_COMPAT_OLDC_H

#ifdef __cplusplus
extern "C++" {
#endif
/* the parser engine (yaccpar) */
int yyparse(void);
/* the user's code, as the templates write it */
int yylex(void);
int yywrap(void);
/* the scanner engine (ncform) */
int yylook(void);
int yyback(int *p, int m);
int yyreject(void);
int yyinput(void);
void yyoutput(int c);
void yyunput(int c);
#ifdef __cplusplus
}
#endif

#endif
