/* Forced in front of every source that vork-cc compiles, C or C++.
 *
 * The generators emit C written for compilers that declared a function
 * implicitly at its first call, and classic lex/yacc programs are written
 * the same way: main() in the grammar's last section calls yyparse()
 * before the parser engine appended after it defines it, a parser calls
 * yylex() before the included scanner defines it, a scanner calls
 * yyreject() from its REJECT macro and yywrap() at end of input before
 * anything defines them, and actions call the input helpers and yyless().
 *
 * C still declares a function at its first call, so in C only the scanner
 * engine's routines are declared, which no program defines but ncform:
 * anything the user writes (yylex, yywrap, yyerror, main, even yyparse in
 * a program without a grammar) may have whatever classic type its author
 * gave it, `void yywrap()` or `yyerror(s) char *s;` alike, and may be
 * static.  C++ has no implicit declarations, so there the functions called
 * before their definition are declared as well, each with exactly the type
 * of the definition that the skeletons (yaccpar, ncform) or the
 * new-project templates give, so that those can never conflict with it;
 * `yyparse()` in C++ is `yyparse(void)`.  yyerror is left out even there:
 * programs define it as void or as (implicit) int, and a declaration would
 * clash with one of the two; the user's yyerror comes before the parser
 * engine that calls it anyway.  input(), output() and unput() are macros
 * of the generated scanner.
 */
#ifndef VORK_COMPAT_OLDC_H
#define VORK_COMPAT_OLDC_H

#ifdef __cplusplus
/* C linkage, the linkage of lex's and yacc's own libraries: a C++ program
 * that declares them the way C++ programs do, `extern "C" int yywrap();`
 * or `extern "C" { int yylex(void); }`, matches, and so does one that
 * simply defines `int yywrap() { ... }` (a later declaration keeps the
 * linkage of the first), as well as a parser and a scanner compiled one as
 * C and the other as C++. */
extern "C" {
/* the parser engine (yaccpar) */
int yyparse(void);
/* the user's code, as the templates write it */
int yylex(void);
int yywrap(void); /* int: 0 = go on reading the new yyin, 1 = the input is over; a void yywrap() cannot say which */
}
extern "C++" {
#endif
/* the scanner engine (ncform) */
int yylook(void);
int yyback(int *p, int m);
int yyreject(void);
int yyinput(void);
void yyoutput(int c);
void yyunput(int c);
int yyless(int n);
#ifdef __cplusplus
}
#endif

#endif
