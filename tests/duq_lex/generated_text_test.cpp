// Exact text of generated scanners for small specifications.  The expected
// files under data/ were worked out from the construction rules and checked
// line by line; the *.en/*.sk pairs differ only in the language of the run.
#include "lex_harness.h"

#include <gtest/gtest.h>

using namespace lextest;

TEST(GeneratedText, ExactFileText)
{
    struct Case {
        const char* spec;
        int slovak, optimise;
        const char* expected;  // the whole file, or its end from "extern  int     yylineno;" on
        std::vector<std::string> errors = {};
    };
    const Case cases[] = {
        // header, macros, declarations, switch and every table, in both languages
        {"%%\na\t;\nb\t;\n", 0, 1, "ab.en.txt"},
        {"%%\na\t;\nb\t;\n", 1, 1, "ab.sk.txt"},
        // states 0 and 1 compressed to one class and an error entry for the
        // newline; state 1 leans on state 0
        {"%%\n[^\\n]\t;\n", 0, 1, "not_newline.en.txt"},
        // unoptimised: no YYOPTIM, no yymatch, no fall-back, no compression
        {"%%\n[^\\n]\t;\na\t;\nb\t;\n", 1, 0, "not_newline_plain.sk.txt"},
        // shared action, multi-line braces, string pattern, comment with ';'
        {"%%\na\t|\nb\t{ x();\n  y(); }\n\"c\"\treturn(3);\nd\t/* c; */ z(\";\");\n", 0, 1, "actions.en.txt"},
        // "a|" and a blank: case 1 falls through to the action of rule 2, a
        {"%%\na| x();\n", 1, 1, "bar_blank.sk.txt"},
        // copied definitions text, start-condition constants, user code,
        // printable class representatives in yymatch
        {"%{\n#include <x.h>\n%}\n  int k;\n%s A B\nD [0-9]\n%%\n{D}+\t;\n%%\nint main(){}\n", 1, 1,
         "definitions.sk.txt"},
        // the end of the trailing-context head (-1) and yyextra
        {"%%\nab/cd\t;\n", 0, 1, "context.en.txt"},
        // without rules the switch still opens, before the tail closes it
        {"%%\n", 0, 1, "empty.en.txt"},
        {"%%\n%%\nint main(){}\n", 0, 1, "empty_user.en.txt"},
        // a rule without an action drops what it matches
        {"%%\na\n", 0, 1, "rule_without_action.en.txt",
         {"W Rule without action: the text it matches is discarded @2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Result r = generate(c.spec, c.slovak, 0, c.optimise);
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.errors, c.errors);
        std::string got = withoutDateLine(r.output), want = dataFile(c.expected);
        ASSERT_FALSE(want.empty());
        ASSERT_GE(got.size(), want.size());
        EXPECT_EQ(got.substr(got.size() - want.size()), want);
    }
}

TEST(GeneratedText, CellTypeWidensAbove128States)
{
    // A string of n characters needs n + 2 states: 0 and 1, then one per
    // character read.
    struct Case {
        size_t length, states;
        const char* type;
    };
    const Case cases[] = {{126, 128, "char"}, {127, 129, "int"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        Result r = generate("%e 2000\n%p 9000\n%%\n\"" + std::string(c.length, 'a') + "\"\t;\n");
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(Tables::parse(r.output).states.size(), c.states);
        EXPECT_NE(r.output.find("#define   YYTYPE    " + std::string(c.type) + "\n"), std::string::npos);
    }
}
