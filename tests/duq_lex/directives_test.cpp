// Directives of the definitions section as real specifications hold them:
// the one-letter ones DUQ-Lex knows, exclusive start conditions (%x), and
// the directives of other lex programs, which are refused by name instead
// of being taken for a one-letter directive.
#include "lex_harness.h"

#include <gtest/gtest.h>

using namespace lextest;

namespace {

struct Probe {
    std::string input;
    int condition;  // start condition number, 0 = INITIAL
    int rule;       // rule of the longest match, 0 = none
    int length;
};

struct Case {
    const char* name;
    std::string spec;
    int status;
    std::vector<std::string> errors;  // every item, in order
    std::vector<Probe> probes = {};
    std::vector<std::string> text = {};
};

const char* const kCommentRules =
    "\"/*\"\tBEGIN COMMENT;\n"
    "<COMMENT>\"*/\"\tBEGIN 0;\n"
    "<COMMENT>.|\\n\t;\n"
    "[a-z]+\tprintf(\"<%s>\", yytext);\n";

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"option is refused by name", "%option noyywrap\n%%\na\t;\n", 1, {"E %option is not supported @1"}},
        {"every foreign directive is named", "%array\n%{\nint n;\n%}\n%pointer\n%top{\n%%\n", 1,
         {"E %array is not supported @1", "E %pointer is not supported @5", "E %top is not supported @6"}},
        {"unknown letter is still an invalid request", "%c\n%%\n", 0, {"W Invalid request %c @1"}},
        {"size directives with and without a blank", "%e2000\n%n 600\n%o 4000\n%%\na\t;\n", 0, {},
         {{"a", 0, 1, 1}}},
        {"start conditions spelt out", "%Start A\n%start B\n%%\n<B>b\t;\n", 0, {},
         {{"b", 2, 1, 1}, {"b", 0, 0, 0}}, {"# define A 2\n# define B 4\n"}},
        // inside a comment only the comment rules run; the word rule does
        // not, as it would with %s
        {"exclusive start condition", std::string("%x COMMENT\n%%\n") + kCommentRules, 0, {},
         {{"abc", 0, 4, 3}, {"abc", 1, 3, 1}, {"*/", 1, 2, 2}, {"/*", 0, 1, 2}}, {"# define COMMENT 2\n"}},
        {"inclusive start condition for comparison", std::string("%s COMMENT\n%%\n") + kCommentRules, 0, {},
         {{"abc", 0, 4, 3}, {"abc", 1, 4, 3}}},
        {"exclusive and inclusive together", "%x X1, X2\n%s S\n%%\na\t;\n<X2>b\t;\n^c\t;\n", 0, {},
         {{"a", 0, 1, 1}, {"a", 3, 1, 1}, {"a", 1, 0, 0}, {"a", 2, 0, 0}, {"b", 2, 2, 1}, {"b", 0, 0, 0}}},
        {"exclusive condition keeps line starts and context", "%X C\n%%\n^c\t;\na/b\t;\n<C>a\t;\n", 0, {},
         {{"ab", 0, 2, 2}, {"ab", 1, 3, 1}}},
        {"definitions with CR LF line ends", "D\t[0-9]\r\n%x C\r\n%%\r\n{D}+\t;\r\n", 0, {},
         {{"42", 0, 1, 2}, {"42", 1, 0, 0}}},
    };
    return all;
}

class Directives : public ::testing::TestWithParam<size_t> {};

TEST_P(Directives, ReadAsWritten)
{
    const Case& c = cases()[GetParam()];
    Result r = generate(c.spec);
    EXPECT_EQ(r.errors, c.errors);
    ASSERT_EQ(r.status, c.status);
    if (c.status != 0)
        return;
    Tables t = Tables::parse(r.output);
    for (const Probe& p : c.probes) {
        SCOPED_TRACE(p.input + " in " + std::to_string(p.condition));
        std::pair<int, int> m = t.longest(p.input, p.condition);
        EXPECT_EQ(m.first, p.rule);
        if (p.rule != 0) {
            EXPECT_EQ(m.second, p.length);
        }
    }
    for (const std::string& piece : c.text)
        EXPECT_NE(r.output.find(piece), std::string::npos) << piece;
}

INSTANTIATE_TEST_SUITE_P(Cases, Directives, ::testing::Range<size_t>(0, cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string n = cases()[info.param].name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

TEST(Directives, RefusalInSlovak)
{
    Result r = generate("%option yylineno\n%%\n", 1);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errors, std::vector<std::string>{"E %option nie je podporovane @1"});
    EXPECT_FALSE(r.outputExists);
}

} // namespace
