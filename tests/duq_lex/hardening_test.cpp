// Inputs that the classic design handles badly and this generator handles
// soundly: dropped rules, characters outside the table range, unusable
// output, degenerate limits.
#include "lex_harness.h"

#include "duq_lex/lex_run.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lextest;

namespace {

bool hasItem(const Result& r, const std::string& item)
{
    return std::find(r.errors.begin(), r.errors.end(), item) != r.errors.end();
}

} // namespace

TEST(Hardening, DroppedRulesLeaveNoTraceInTheAutomaton)
{
    struct Case {
        const char* spec;
        const char* input;
        int rule, length;
    };
    const Case cases[] = {
        // the last rule is dropped: the tree still ends at rule 1
        {"%%\na\t;\nb)\t;\n", "a", 1, 1},
        {"%%\na\t;\nb)\t;\n", "b", 0, 0},
        // a trailing context inside a dropped rule does not carry over
        {"%%\na/b)\t;\nc/d\t;\n", "cd", 1, 2},
        // only the broken rule goes; the next one reuses its number
        {"%%\nx\t;\n(y\t;\nz\t;\n", "z", 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        Result r = generate(c.spec);
        ASSERT_EQ(r.status, 0);
        EXPECT_TRUE(r.errors.empty()) << r.errors.front();
        std::pair<int, int> got = Tables::parse(r.output).longest(c.input);
        EXPECT_EQ(got.first, c.rule);
        EXPECT_EQ(got.second, c.length);
    }
    Tables t = Tables::parse(generate("%%\na/b)\t;\nc/d\t;\n").output);
    EXPECT_EQ(t.extra[1], 1);
}

TEST(Hardening, CharactersOutsideTheTableRangeAreLeftOut)
{
    struct Case {
        std::string spec;
        std::string warning;
        std::string input;
        int length;
    };
    const Case cases[] = {
        {"%%\n\"\\0a\"\t;\n", "Character 0 outside 1..127 ignored", "a", 1},
        {"%%\n\"a\\777\"\t;\n", "Character 777 outside 1..127 ignored", "a", 1},
        {"%%\n[\\200a]\t;\n", "Character 200 outside 1..127 ignored", "a", 1},
        {"%%\n\xc3\xa1x\t;\n", "Character 303 outside 1..127 ignored", "x", 1},
        {"%%\n\"\\0\"x\t;\n", "Character 0 outside 1..127 ignored", "x", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        Result r = generate(c.spec);
        ASSERT_EQ(r.status, 0);
        EXPECT_TRUE(hasItem(r, "[DUQ - LEX Upozornenie] x.l(2): " + c.warning));
        EXPECT_EQ(Tables::parse(r.output).longest(c.input).second, c.length);
    }
}

TEST(Hardening, OutputThatCannotBeWrittenIsAnError)
{
    TempDir dir;
    dir.write("x.l", "%%\na\t;\n");
    dir.write("skel", "\n");
    vork::ListSinks sinks("x.l", "");
    EXPECT_EQ(duq_lex::lex_run(sinks, dir.path("skel"), dir.path("x.l"), "/dev/full", 0, 0, 1), 1);
    ASSERT_EQ(sinks.errors().size(), 1u);
    EXPECT_EQ(sinks.errors()[0], "[DUQ - LEX Chyba] x.l: Can't open output file: /dev/full");
    EXPECT_EQ(duq_lex::lex_run(sinks, dir.path("skel"), dir.path("x.l"), dir.path("no/such/dir.c"), 1, 0, 1), 1);
    EXPECT_EQ(sinks.errors()[1], "[DUQ - LEX Chyba] x.l(2): Nemozno otvorit vystupny subor: \"" +
                                     dir.path("no/such/dir.c") + "\"");
}

TEST(Hardening, DegenerateSizeDirectives)
{
    struct Case {
        const char* spec;
        int status;
    };
    const Case cases[] = {
        {"%o 0\n%%\n", 0},      // no transitions: an empty output table is enough
        {"%o\n%%\na\t;\n", 1},  // no digits: 0
        {"%a 0\n%%\na\t;\n", 1},
        {"%n 0\n%%\n", 1},
        {"%p 0\n%%\na\t;\n", 1},
        {"%k 0\n%%\n.\t;\n", 1},
        {"%e 0\n%%\na\t;\n", 1},
        {"%e 99999999999999999999999\n%%\n", 1},
    };
    for (const Case& c : cases) {
        Result r = generate(c.spec);
        EXPECT_EQ(r.status, c.status) << c.spec;
    }
}
