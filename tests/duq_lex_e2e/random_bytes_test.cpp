// Arbitrary bytes through a scanner that uses every engine feature at once
// (start conditions, ^, $, trailing context with REJECT, yymore, input,
// unput): built with optimised and with plain tables, both must run clean
// under the sanitizers and print the same text.
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

const char* const kSpec = R"L(%{
#include <stdio.h>
int yywrap(void);
int yyreject(void);
%}
%s STR
%%
<INITIAL>\"	{ BEGIN STR; printf("<"); }
<STR>[^"\n]+	{ printf("s%d", yyleng); }
<STR>\"	{ BEGIN INITIAL; printf(">"); }
<STR>\n	{ BEGIN INITIAL; printf("!\n"); }
^#[a-z]+	{ printf("P(%s)", yytext); }
[a-z]+/[0-9]	{ printf("T(%s)", yytext); REJECT; }
[a-z]+	{ printf("W(%s)", yytext); }
[0-9]+	{ yymore(); }
[0-9]*x	{ printf("N%d", yyleng); }
z$	{ printf("Z$"); }
"/*"	{ int c; while ((c = input()) != 0 && c != '/') ; printf("C"); }
@	{ unput('x'); unput('1'); }
[ \t]+	;
.	{ printf("[%d]", yytext[0]); }
%%
int yywrap(void) { return 1; }
int main(void) { yylex(); return 0; }
)L";

// Bytes 0..255 with a bias towards the characters the rules start with.
std::string randomBytes(size_t n, uint32_t seed)
{
    const std::string common = "\"#abcxz0129/*@ \t\n";
    std::string out;
    while (out.size() < n) {
        seed = seed * 1664525u + 1013904223u;
        uint32_t r = seed >> 8;
        out += (r % 3 == 0) ? static_cast<char>((r >> 2) & 0xff) : common[(r >> 2) % common.size()];
    }
    return out;
}

class RandomBytes : public ::testing::TestWithParam<uint32_t> {};

TEST_P(RandomBytes, OptimisedAndPlainTablesAgree)
{
    const std::string input = randomBytes(60 * 1024, GetParam());
    e2e::TempDir optimised, plain;
    ASSERT_EQ(e2e::buildScanner(optimised, kSpec, true), "");
    ASSERT_EQ(e2e::buildScanner(plain, kSpec, false), "");
    e2e::RunResult a = e2e::runScanner(optimised, {}, input);
    e2e::RunResult b = e2e::runScanner(plain, {}, input);
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(a.err.find("Sanitizer"), std::string::npos) << a.err;
    EXPECT_EQ(a.err.find("runtime error"), std::string::npos) << a.err;
    EXPECT_NE(a.out.find("W("), std::string::npos);
    EXPECT_EQ(a.out, b.out);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomBytes, ::testing::Values(1u, 2u, 3u));

} // namespace
