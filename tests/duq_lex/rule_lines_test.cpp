// The line of each rule, as the debugger needs it to show the rule a
// lexical unit matched: numbered the way the generated scanner numbers the
// rules it returns.
#include "duq_lex/lex_run.h"
#include "lex_harness.h"

#include <gtest/gtest.h>

using namespace lextest;

namespace {

struct Case {
    const char* name;
    const char* spec;
    duq_lex::RuleLines lines;
    int status;
    // An input and the line of the rule the generated tables match it with
    // (successful runs only): the numbers agree with what yylook() returns.
    std::vector<std::pair<const char*, int>> probes;
};

const Case kCases[] = {
    {"actions over several lines",
     "D\t[0-9]\n"
     "%%\n"
     "{D}+\t{\n"
     "\t\tint v = 0;\n"
     "\t\tv++;\n"
     "\t}\n"
     "\n"
     "[a-z]+\t{ return 2; }\n"
     "\n"
     "\"--\"\t;\n"
     "%%\n",
     {0, 3, 8, 10},
     0,
     {{"42", 3}, {"ab", 8}, {"--", 10}}},
    {"rules sharing an action with |",
     "%%\n"
     "a\t|\n"
     "b\t|\n"
     "c\t{ return 1; }\n"
     "x+\t;\n",
     {0, 2, 3, 4, 5},
     0,
     {{"a", 2}, {"b", 3}, {"c", 4}, {"xx", 5}}},
    {"start conditions and code before the first rule",
     "%Start COMMENT\n"
     "%%\n"
     "\tint depth = 0;\n"
     "<COMMENT>\"*/\"\t{ BEGIN 0; }\n"
     "<COMMENT>.\t;\n"
     "\"/*\"\t{ BEGIN COMMENT; }\n"
     "^#.*\t;\n",
     {0, 4, 5, 6, 7},
     0,
     {{"/*", 6}}},
    {"a rule after a syntax error takes the dropped rule's number",
     "%%\n"
     "a\t;\n"
     "b)\t;\n"
     "c\t;\n",
     {0, 2, 4},
     1,
     {}},
};

} // namespace

TEST(RuleLines, EachRuleHasTheLineItBeginsOn)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        dir.write("x.l", c.spec);
        duq_lex::RuleLines read;
        EXPECT_EQ(duq_lex::lex_rule_lines(dir.path("x.l"), read), c.status);
        EXPECT_EQ(read, c.lines);

        // A full run hands out the same table, also when it fails.
        dir.write("skel", "/* skeleton */\n");
        vork::NullSinks sinks;
        duq_lex::RuleLines generated{7, 7};
        EXPECT_EQ(duq_lex::lex_run(sinks, dir.path("skel"), dir.path("x.l"), dir.path("x.c"), 0, 0, 1, 0, &generated),
                  c.status);
        EXPECT_EQ(generated, c.lines);
        if (c.status != 0)
            continue;
        const Tables tables = Tables::parse(readFile(dir.path("x.c")));
        for (const auto& [input, line] : c.probes) {
            const int rule = tables.longest(input).first;
            ASSERT_GT(rule, 0) << input;
            ASSERT_LT(static_cast<size_t>(rule), read.size()) << input;
            EXPECT_EQ(read[static_cast<size_t>(rule)], line) << input;
        }
    }
    // A file that is not there has no rules.
    duq_lex::RuleLines none;
    EXPECT_EQ(duq_lex::lex_rule_lines("/nonexistent/x.l", none), 1);
    EXPECT_EQ(none, duq_lex::RuleLines{0});
}
