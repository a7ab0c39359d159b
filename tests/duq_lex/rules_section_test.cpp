// The rules section as users write it: blank and comment lines between the
// rules, actions that are a comment, several statements or a macro call
// without ';', rules without an action, and the mistakes that must stop the
// run with a line instead of losing a rule.  Each case checks the error
// items, the rules the tables match, and pieces of the generated yylex.
#include "lex_harness.h"

#include <gtest/gtest.h>

using namespace lextest;

namespace {

struct Case {
    const char* name;
    std::string spec;
    int status;
    std::vector<std::string> errors;                 // every item, in order
    std::vector<std::pair<std::string, int>> rules;  // input -> rule of its longest match
    std::vector<std::string> text = {};              // pieces of the generated file
};

std::string rulesOf(int n, const std::string& pattern)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += pattern + std::to_string(i) + "\t;\n";
    return s;
}

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"comment line before the first rule",
         "%%\n  /* keywords */\nif\tprintf(\"IF \");\n[a-z]+\tprintf(\"ID \");\n", 0, {},
         {{"if", 1}, {"ab", 2}},
         {"int nstr; extern int yyprevious;\n /* keywords */\n", "case 1:\nprintf(\"IF \");\nbreak;\ncase 2:\n"}},
        {"blank line, then a comment line",
         "%%\na\tA();\n\n  /* more */\nb\tB();\n", 0, {}, {{"a", 1}, {"b", 2}},
         {"case 1:\nA();\nbreak;\n /* more */\ncase 2:\nB();\nbreak;\n"}},
        {"line of blanks between rules", "%%\na\tA();\n   \t\nb\tB();\n", 0, {}, {{"a", 1}, {"b", 2}},
         {"case 1:\nA();\nbreak;\ncase 2:\n"}},
        {"comment line right after an action", "%%\na\tA();\n\t/* note */ // and more\nb\tB();\n", 0, {},
         {{"a", 1}, {"b", 2}}, {"break;\n/* note */ // and more\ncase 2:\n"}},
        {"comment over two lines between rules", "%%\na\tA();\n  /* one\n     two */\n\nb\tB();\n", 0, {},
         {{"a", 1}, {"b", 2}}, {"/* one\n     two */\ncase 2:\n"}},
        {"action that is only a comment", "%%\n[ \\t]+\t/* skip white space */\n[a-z]+\tW();\n", 0, {},
         {{" \t", 1}, {"ab", 2}}, {"case 1:\n/* skip white space */\nbreak;\ncase 2:\nW();\nbreak;\n"}},
        {"action of two statements", "%%\na\tprintf(\"1\"); printf(\"2\");\n.|\\n\t;\n", 0, {},
         {{"a", 1}, {"b", 2}}, {"case 1:\nprintf(\"1\"); printf(\"2\");\nbreak;\ncase 2:\n;\nbreak;\n"}},
        {"macro call without a semicolon", "%{\n#define TOK(n) { return n; }\n%}\n%%\na\tTOK(1)\nb\tTOK(2)\n", 0,
         {}, {{"a", 1}, {"b", 2}}, {"case 1:\nTOK(1)\nbreak;\ncase 2:\nTOK(2)\nbreak;\n"}},
        {"braces in a line comment", "%%\na\tA(); // { open\nb\tB();\n", 0, {}, {{"a", 1}, {"b", 2}},
         {"case 1:\nA(); // { open\nbreak;\ncase 2:\n"}},
        {"braces carry an action over lines", "%%\na\t{ if (x) {\n\t  y(); }\n\t} /* done */\nb\tB();\n", 0, {},
         {{"a", 1}, {"b", 2}}, {"case 1:\n{ if (x) {\n\t  y(); }\n\t} /* done */\nbreak;\ncase 2:\n"}},
        {"last action without a newline", "%%\na\tA()", 0, {}, {{"a", 1}}, {"case 1:\nA()\nbreak;\n"}},
        {"rule without an action", "%%\nabc\n\nx\tprintf(\"X\");\n", 0,
         {"W Rule without action: the text it matches is discarded @2"}, {{"abc", 1}, {"x", 2}},
         {"case 1:\nbreak;\ncase 2:\n"}},
        {"indented code after a rule", "%%\na\tA();\n\n\tB();\nc\tC();\n", 0,
         {"W Executable statements should occur right after %% @4"}, {{"a", 1}, {"c", 2}},
         {"case 1:\nA();\nbreak;\nB();\nbreak;\ncase 2:\n"}},
        {"character class open at the end of its line", "%%\n[abc  { A(); }\nb\tB();\n", 1,
         {"E Non-terminated character class @2"}, {}},
        {"undefined name in the first rule", "%%\n{D}+\tN();\n[a-z]+\tW();\n", 1, {"E Definition D not found @2"},
         {}},
        {"undefined name in a later rule", "D\t[0-9]\n%%\n{D}+\tN();\n{L}\tW();\n{E}x\tX();\n", 1,
         {"E Definition L not found @4", "E Definition E not found @5"}, {}},
        {"lines ended by CR LF", "D\t[0-9]\r\n%%\r\n  /* c */\r\n{D}+\tN();\r\nb\tB();\r\n", 0, {},
         {{"12", 1}, {"b", 2}}},
        {"lines ended by CR alone", "%%\r  /* c */\r[0-9]+\tN();\rb\tB();\r%%\rint x;\r", 0, {},
         {{"12", 1}, {"b", 2}}, {"\nint x;\n"}},
        {"trailing context past rule 99", "%%\n" + rulesOf(99, "k") + "x/y\t;\n", 1,
         {"E Many right context @101"}, {}},
    };
    return all;
}

class RulesSection : public ::testing::TestWithParam<size_t> {};

TEST_P(RulesSection, ReadsAsWritten)
{
    const Case& c = cases()[GetParam()];
    Result r = generate(c.spec);
    EXPECT_EQ(r.errors, c.errors);
    ASSERT_EQ(r.status, c.status);
    if (c.status != 0)
        return;
    Tables t = Tables::parse(r.output);
    for (const auto& probe : c.rules)
        EXPECT_EQ(t.longest(probe.first).first, probe.second) << probe.first;
    for (const std::string& piece : c.text)
        EXPECT_NE(r.output.find(piece), std::string::npos) << piece << "\n---\n" << r.output;
    // every rule has its case, so the scanner never stops at "bad switch"
    for (int rule = 1; rule < static_cast<int>(t.extra.size()) && rule <= static_cast<int>(c.rules.size()); ++rule)
        EXPECT_NE(r.output.find("case " + std::to_string(rule) + ":\n"), std::string::npos) << rule;
}

INSTANTIATE_TEST_SUITE_P(Cases, RulesSection, ::testing::Range<size_t>(0, cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string n = cases()[info.param].name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

// The texts of the new items exist in Slovak too.
TEST(RulesSection, SlovakTexts)
{
    struct Case {
        const char* spec;
        const char* item;
    };
    const Case cases[] = {
        {"%%\nabc\n", "W Pravidlo bez akcie: text, ktory vyhovuje, sa zahodi @2"},
        {"%%\n[ab\n", "E Neukoncena znakova trieda @2"},
        {"%%\n{X}\t;\n", "E Definicia X neexistuje @2"},
    };
    for (const Case& c : cases) {
        Result r = generate(c.spec, 1);
        ASSERT_EQ(r.errors.size(), 1u) << c.spec;
        EXPECT_EQ(r.errors[0], c.item);
    }
}

} // namespace
