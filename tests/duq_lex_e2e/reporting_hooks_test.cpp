// The reporting macros that the debug skeleton defines in front of ncform:
// a prelude that records them must see the engine start once, one token
// per matched rule, and characters read and pushed back such that replaying
// them (append on a read, drop the last on a push-back) gives back exactly
// the input, also across look-ahead, REJECT and trailing context.
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kPrelude = R"L(
#include <string.h>
static char yydbg_stream[ 1 << 16 ];
static int  yydbg_len, yydbg_inits, yydbg_tokens, yydbg_bad;
static void yydbg_report( void )
{
    fprintf( stderr, "inits %d tokens %d bad %d\n", yydbg_inits, yydbg_tokens, yydbg_bad );
    fwrite( yydbg_stream, 1, yydbg_len, stderr );
}
#define YYDBG_INIT()      ( yydbg_inits++, atexit( yydbg_report ) )
#define YYDBG_TOKEN( r )  ( yydbg_tokens++ )
#define YYDBG_CHAR( c )   { if ( yydbg_len < (int) sizeof yydbg_stream ) yydbg_stream[ yydbg_len++ ] = (char) ( c ); }
#define YYDBG_UNPUT( c )  { if ( yydbg_len > 0 && ( yydbg_stream[ yydbg_len - 1 ] & 0377 ) == ( c ) ) yydbg_len--; else yydbg_bad++; }
)L";

const char* const kSpec = R"L(%{
#include <stdio.h>
#include <stdlib.h>
int yywrap(void);
int yyreject(void);
int ntok;
%}
%s Q
%%
<INITIAL>\"	{ BEGIN Q; ntok++; }
<Q>\"	{ BEGIN INITIAL; ntok++; }
<Q>[^"]+	{ ntok++; }
ab/cd	{ ntok++; REJECT; }
abc	{ ntok++; }
[a-z]+	{ ntok++; }
[0-9]+	{ ntok++; yymore(); }
[0-9]+x	{ ntok++; }
%%
int yywrap(void) { return 1; }
int main(void) { yylex(); printf("count=%d\n", ntok); return 0; }
)L";

TEST(ReportingHooks, ReplayGivesBackTheInputAndCountsTokens)
{
    const std::string input = "abcd abce \"q q\" 12 34x zz\xff\n\"open\nabc";
    e2e::TempDir dir;
    e2e::writeFile(dir.file("dbgform"), kPrelude + e2e::readFile(e2e::binPath("ncform")));
    ASSERT_EQ(e2e::buildScanner(dir, kSpec, true, "-k dbgform"), "");
    e2e::RunResult r = e2e::runScanner(dir, {}, input);
    ASSERT_EQ(r.status, 0);
    // The actions count the tokens they run for; the hook must agree.
    size_t at = r.out.rfind("count=");
    ASSERT_NE(at, std::string::npos) << r.out;
    std::string tokens = r.out.substr(at + 6, r.out.find('\n', at) - at - 6);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "inits 1 tokens " + tokens + " bad 0");
    EXPECT_EQ(r.err.substr(r.err.find('\n') + 1), input);
}

} // namespace
