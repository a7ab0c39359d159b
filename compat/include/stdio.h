/*
 * <stdio.h> as the old C compilers had it: the system's own header, with
 * stdin, stdout and stderr as address constants.
 *
 * A generated scanner starts with `FILE *yyin = {stdin}, *yyout =
 * {stdout};` at file scope, and classic programs write the same.  On the
 * old systems the streams were elements of a static array, so that was a
 * constant initializer; in the C library here they are variables, which C
 * refuses in a static initializer (C++ initializes them at start-up and
 * needs nothing).  The variables point at the library's three stream objects,
 * which the library exports under fixed names, so in C the macros name
 * those objects directly.  An assignment to stdin no longer compiles,
 * which old programs could not do either; freopen() keeps the object and
 * works as before.
 */
/* A header of the system's, also in strict ISO modes: #include_next is an
   extension. */
#pragma GCC system_header
#include_next <stdio.h>

#if !defined(__cplusplus) && defined(__GLIBC__) && !defined(VORK_COMPAT_STDIO_CONSTANTS)
#define VORK_COMPAT_STDIO_CONSTANTS 1
/* The objects are larger than a FILE; only their addresses are used. */
extern struct _IO_FILE_plus _IO_2_1_stdin_, _IO_2_1_stdout_, _IO_2_1_stderr_;
#undef stdin
#undef stdout
#undef stderr
#define stdin ((FILE *) &_IO_2_1_stdin_)
#define stdout ((FILE *) &_IO_2_1_stdout_)
#define stderr ((FILE *) &_IO_2_1_stderr_)
#endif
