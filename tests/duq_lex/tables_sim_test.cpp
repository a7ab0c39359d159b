// What the generated tables match.  The tables are read back from the
// generated text and walked the way the skeleton walks them (verify and
// advance offsets, fall-back states, compression through yymatch), with and
// without optimisation: both must describe the same automaton.
#include "lex_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lextest;

namespace {

struct MatchCase {
    const char* defs;   // definitions section
    const char* rules;  // one pattern per line; each gets the action ";"
    std::string input;
    int startCondition;
    bool lineStart;
    int rule;    // first rule of the longest match, 0 for none
    int length;
};

std::string spec(const MatchCase& c)
{
    std::string s = std::string(c.defs) + "%%\n";
    std::string rules = c.rules;
    size_t at = 0;
    while (at < rules.size()) {
        size_t nl = rules.find('\n', at);
        if (nl == std::string::npos)
            nl = rules.size();
        s += rules.substr(at, nl - at) + "\t;\n";
        at = nl + 1;
    }
    return s;
}

const MatchCase kCases[] = {
    {"", "if\n[a-z]+", "if", 0, false, 1, 2},
    {"", "if\n[a-z]+", "ifx", 0, false, 2, 3},
    {"", "if\n[a-z]+", "abc d", 0, false, 2, 3},
    {"", "ab*", "abbbc", 0, false, 1, 4},
    {"", "ab*", "a", 0, false, 1, 1},
    {"", "ab{2}", "abab", 0, false, 1, 4},
    {"", "ab{2}", "abb", 0, false, 0, 0},
    {"", "a.{2}", "axay", 0, false, 1, 4},
    {"", "x{0,2}", "", 0, false, 0, 0},
    {"", "x{0,2}", "xxx", 0, false, 1, 2},
    {"", "x{3,1}", "xxxx", 0, false, 1, 3},
    {"", "x{3,1}", "x", 0, false, 1, 1},
    {"", "x{2,}", "x", 0, false, 0, 0},
    {"", "x{2,}", "xxxx", 0, false, 1, 4},
    {"", "x{1,}", "xx", 0, false, 1, 2},
    {"", "x{0,}", "xx", 0, false, 1, 2},
    {"", "x{0}", "x", 0, false, 1, 0},
    {"DIGIT [0-9]\n", "{DIGIT}+", "123a", 0, false, 1, 3},
    {"", "^x\nx", "x", 0, true, 1, 1},
    {"", "^x\nx", "x", 0, false, 2, 1},
    {"%s A\n", "<A>y\nz", "y", 0, false, 0, 0},
    {"%s A\n", "<A>y\nz", "y", 1, false, 1, 1},
    {"%s A\n", "<A>y\nz", "z", 1, false, 2, 1},
    {"%s A B\n", "<A,B>y", "y", 2, true, 1, 1},
    {"", "a|bc", "bc", 0, false, 1, 2},
    {"", "a|bc", "ac", 0, false, 1, 1},
    {"%s S\n", "<S>a|b", "b", 0, false, 0, 0},
    {"%s S\n", "<S>a|b", "b", 1, false, 1, 1},
    {"", "^a|b", "b", 0, false, 1, 1},
    {"", "a$", "a\n", 0, false, 1, 2},
    {"", "a$", "ab", 0, false, 0, 0},
    {"", "\"\\101\"", "A", 0, false, 1, 1},
    {"", "\"\\1x\"", "\001x", 0, false, 1, 2},
    {"", "[z-a]", "m", 0, false, 1, 1},
    {"", "[^\\n]+", "abc\ndef", 0, false, 1, 3},
    {"", "(ab|cd)+e", "abcdabe", 0, false, 1, 7},
    {"", "a?b", "b", 0, false, 1, 1},
    {"", "a?b", "ab", 0, false, 1, 2},
    {"", ".", "\n", 0, false, 0, 0},
    {"", ".+", "a.b\n", 0, false, 1, 3},
    {"", "\"\"a", "a", 0, false, 1, 1},
    {"", "[a-z_][a-z0-9_]*\n[0-9]+\n[ \\t\\n]+\n\"==\"\n=", "abc_9 ", 0, false, 1, 5},
    {"", "[a-z_][a-z0-9_]*\n[0-9]+\n[ \\t\\n]+\n\"==\"\n=", "42x", 0, false, 2, 2},
    {"", "[a-z_][a-z0-9_]*\n[0-9]+\n[ \\t\\n]+\n\"==\"\n=", " \t\nx", 0, false, 3, 3},
    {"", "[a-z_][a-z0-9_]*\n[0-9]+\n[ \\t\\n]+\n\"==\"\n=", "==", 0, false, 4, 2},
    {"", "[a-z_][a-z0-9_]*\n[0-9]+\n[ \\t\\n]+\n\"==\"\n=", "=a", 0, false, 5, 1},
    {"", "[^a]+\na", "xyz", 0, false, 1, 3},
    {"", "[^a]+\na", "a", 0, false, 2, 1},
    {"", "[^a]+\n[^b]+", "xyz", 0, false, 1, 3},
    {"", "[^a]+\n[^b]+", "aab", 0, false, 2, 2},
    {"", "[-+]?[0-9]+", "-12", 0, false, 1, 3},
    {"", "[a-]+", "a-a]", 0, false, 1, 3},
    {"", "ab/cd", "abcd", 0, false, 1, 4},
    {"", "a|b/c", "bc", 0, false, 1, 2},
    {"", "a|b/c", "ac", 0, false, 1, 2},
    {"", "a|b/c", "a", 0, false, 0, 0},
    {"", "a/b$", "ab\n", 0, false, 1, 3},
    {"", "a/b$", "ab", 0, false, 0, 0},
};

} // namespace

TEST(Tables, LongestMatchFollowsTheRules)
{
    for (const MatchCase& c : kCases) {
        for (int optimise : {1, 0}) {
            SCOPED_TRACE(std::string(c.rules) + " on \"" + c.input + "\" optimise " + std::to_string(optimise));
            Result r = generate(spec(c), 0, 0, optimise);
            ASSERT_EQ(r.status, 0);
            Tables t = Tables::parse(r.output);
            ASSERT_GE(t.states.size(), 2u);
            std::pair<int, int> got = t.longest(c.input, c.startCondition, c.lineStart);
            EXPECT_EQ(got.first, c.rule);
            EXPECT_EQ(got.second, c.length);
        }
    }
}

TEST(Tables, StartConditionsOwnTwoStatesEach)
{
    struct Case {
        const char* defs;
        size_t initialStates;
    };
    const Case cases[] = {{"", 2}, {"%s A\n", 4}, {"%s A B C\n", 8}};
    for (const Case& c : cases) {
        // a rule that only start condition 0 can reach keeps other states out
        Result r = generate(std::string(c.defs) + "%%\n");
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(Tables::parse(r.output).states.size(), c.initialStates) << c.defs;
    }
}

TEST(Tables, EqualTextsShareOneStopListInOrder)
{
    // if and [a-z]+ both end after "if": the stop list holds 1 then 2
    Result r = generate("%%\nif\t;\n[a-z]+\t;\n");
    ASSERT_EQ(r.status, 0);
    Tables t = Tables::parse(r.output);
    int s = t.next(t.next(0, 'i'), 'f');
    ASSERT_GE(s, 0);
    int at = t.states[s].stops;
    ASSERT_GE(at, 0);
    EXPECT_EQ(t.vstop[at], 1);
    EXPECT_EQ(t.vstop[at + 1], 2);
    EXPECT_EQ(t.vstop[at + 2], 0);
}

// A rule dropped on a syntax error fails the run and leaves nothing behind:
// no scanner, and no trailing context that would make the next rule's '/'
// an extra slash.
TEST(Tables, DroppedRulesLeaveNoTrace)
{
    struct Case {
        const char* spec;
        const char* error;
    };
    const Case cases[] = {
        {"%%\na\t;\nb)\t;\n", "E syntax error @3"},
        {"%%\na/b)\t;\nc/d\t;\n", "E syntax error @2"},
        {"%%\nx\t;\n(y\t;\nz\t;\n", "E syntax error @3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        Result r = generate(c.spec);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.errors, std::vector<std::string>{c.error});
        EXPECT_FALSE(r.outputExists);
    }
}

// Characters the tables cannot hold are left out of the pattern with a
// warning; the rest of the pattern stays.
TEST(Tables, CharactersOutsideTheTableRangeAreLeftOut)
{
    struct Case {
        const char* spec;
        const char* warning;
        const char* input;
    };
    const Case cases[] = {
        {"%%\n\"\\0a\"\t;\n", "W Character 0 outside 1..127 ignored @2", "a"},
        {"%%\n\"a\\777\"\t;\n", "W Character 777 outside 1..127 ignored @2", "a"},
        {"%%\n[\\200a]\t;\n", "W Character 200 outside 1..127 ignored @2", "a"},
        {"%%\n\xc3\xa1x\t;\n", "W Character 303 outside 1..127 ignored @2", "x"},
        {"%%\n\"\\0\"x\t;\n", "W Character 0 outside 1..127 ignored @2", "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        Result r = generate(c.spec);
        ASSERT_EQ(r.status, 0);
        EXPECT_NE(std::find(r.errors.begin(), r.errors.end(), c.warning), r.errors.end());
        EXPECT_EQ(Tables::parse(r.output).longest(c.input), std::make_pair(1, 1));
    }
}
