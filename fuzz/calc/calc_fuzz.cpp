// Random input through a scanner and a parser that DUQ-Lex and DUQ-yacc
// generated (the calculator example, built at build time): whatever a
// user feeds a generated compiler, the engines must neither overrun a
// buffer nor loop without reading.  The generated files are compiled into
// this translation unit so that the engine's own state can be reset
// between inputs, as a fresh process would have it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define main calc_main
#include "calc.cpp"
#undef main

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // the calculator prints one line per statement; keep the fuzzer's
    // output readable
    if (!std::freopen("/dev/null", "w", stdout))
        std::abort();
    return 0;
}

static void resetEngines()
{
    yysptr = yysbuf;
    yyprevious = YYNEWLINE;
    yylineno = 1;
    yybgin = yysvec + 1;
    yymorfg = 0;
    yylx_eof = 0;
    yylx_canreject = 0;
    yylx_base = 0;
    lineno = 1;
    lastError = (char*)"";
    std::memset(vars, 0, sizeof vars);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // fmemopen of zero bytes is refused on some C libraries
    static char empty[1];
    std::FILE* in = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : fmemopen(empty, 0, "rb");
    if (!in)
        return 0;
    resetEngines();
    yyin = in;
    int result = yyparse();
    // the grammar recovers at every line end; only a stack overflow or an
    // error in the last line (no line end to recover at) may fail it
    if (result != 0 && result != 1)
        std::abort();
    // everything that was not read is still in the stream: the parser
    // stops only at the end of the input or on an unrecovered error
    if (result == 0 && std::fgetc(in) != EOF && yysptr == yysbuf)
        std::abort();
    std::fclose(in);
    yyin = stdin;
    return 0;
}
