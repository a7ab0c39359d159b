// Arbitrary bytes through a scanner that uses every engine feature at once
// (start conditions, ^, $, trailing context with REJECT, yymore, input,
// unput): built with optimised and with plain tables, both must run clean
// under the sanitizers and print the same text.
#include "scanner_run.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// With a %T table the input bytes are codes.  Characters that share a code
// are one input byte, yet the rules tell some of them apart (A and a, x and
// X), and whole classes fall on the same codes: plain tables give such a
// byte the target of the last of its characters, and the optimised tables
// (fall-back states, compression by character) must do the same.
const char* const kTranslatedSpec = R"L(%{
#include <stdio.h>
int yywrap(void);
int yyreject(void);
%}
%T
1	Aa
2	Bb
3	\n
4	xX
7	cdC
%T
%s Q
%%
^A	printf("3");
A	printf("1");
a+	printf("2");
[a-z]+	printf("w%d", yyleng);
[A-Z][a-z]*	printf("U%d", yyleng);
<Q>b	{ BEGIN 0; printf("q"); }
X	{ BEGIN Q; printf("x"); }
[^a-z\n]	printf("o");
\n	printf("N");
%%
int yywrap(void) { return 1; }
int main(void) { yylex(); return 0; }
)L";

// Bytes 0..255 with a bias towards the characters the rules start with.
std::string randomBytes(size_t n, uint32_t seed, const std::string& common = "\"#abcxz0129/*@ \t\n")
{
    std::string out;
    while (out.size() < n) {
        seed = seed * 1664525u + 1013904223u;
        uint32_t r = seed >> 8;
        out += (r % 3 == 0) ? static_cast<char>((r >> 2) & 0xff) : common[(r >> 2) % common.size()];
    }
    return out;
}

void expectTablesAgree(const char* spec, const std::string& input, const std::string& someToken)
{
    e2e::TempDir optimised, plain;
    ASSERT_EQ(e2e::buildScanner(optimised, spec, true), "");
    ASSERT_EQ(e2e::buildScanner(plain, spec, false), "");
    e2e::RunResult a = e2e::runScanner(optimised, {}, input);
    e2e::RunResult b = e2e::runScanner(plain, {}, input);
    EXPECT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(a.err.find("Sanitizer"), std::string::npos) << a.err;
    EXPECT_EQ(a.err.find("runtime error"), std::string::npos) << a.err;
    EXPECT_NE(a.out.find(someToken), std::string::npos);
    // the outputs are long: show where they part
    size_t at = std::mismatch(a.out.begin(), a.out.end(), b.out.begin(), b.out.end()).first - a.out.begin();
    EXPECT_EQ(a.out.size(), b.out.size());
    EXPECT_EQ(a.out.substr(at, 40), b.out.substr(at, 40)) << "the outputs part at " << at;
}

class RandomBytes : public ::testing::TestWithParam<uint32_t> {};

TEST_P(RandomBytes, OptimisedAndPlainTablesAgree)
{
    expectTablesAgree(kSpec, randomBytes(60 * 1024, GetParam()), "W(");
}

TEST_P(RandomBytes, OptimisedAndPlainTablesAgreeOnTranslatedCodes)
{
    expectTablesAgree(kTranslatedSpec, randomBytes(16 * 1024, GetParam(), "\1\1\2\3\4\4\7\7"), "U");
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomBytes, ::testing::Values(1u, 2u, 3u));

} // namespace
