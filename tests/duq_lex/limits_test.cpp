// Every size limit ends the run with its own message and status 1; the
// "Try using" hint shows only while the limit has its default value.
#include "lex_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <cstdio>

using namespace lextest;

namespace {

std::string repeat(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

std::string manyRules(int n, const std::string& pattern)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += pattern + "\t;\n";
    return s;
}

std::string octal(int n)
{
    char b[8];
    std::snprintf(b, sizeof b, "%o", n);
    return b;
}

// Classes [\1-\n] of growing size fill the class pool.
std::string growingClasses(int upTo)
{
    std::string s;
    for (int n = 1; n <= upTo; ++n)
        s += "[\\1-\\" + octal(n) + "]\t;\n";
    return s;
}

std::string startLists(int n)
{
    std::string names, rules;
    for (int i = 0; i < n; ++i) {
        names += std::string(" ") + static_cast<char>('A' + i);
        rules += "<";
        for (int j = 0; j <= i; ++j)
            rules += std::string(j ? "," : "") + static_cast<char>('A' + j);
        rules += ">a\t;\n";
    }
    return "%s" + names + "\n%%\n" + rules;
}

std::vector<std::string> errorItems(const Result& r)
{
    std::vector<std::string> e;
    std::copy_if(r.errors.begin(), r.errors.end(), std::back_inserter(e),
                 [](const std::string& item) { return item[0] == 'E'; });
    return e;
}

struct LimitCase {
    std::string name;
    std::string spec;
    std::string english;
    std::string slovak;
    // A table the large-tables mode makes bigger filled up: the run names
    // that mode after the error ...
    bool hint;
    // ... and, given it, goes through.
    bool passesLarge;
};

const char* const kLargeHintEn =
    "Try the large-tables mode (duq-lex --large, or \"Ve\xc4\xbek\xc3\xa9 tabu\xc4\xbeky\" in the IDE settings).";
const char* const kLargeHintSk =
    "Skuste rezim velkych tabuliek (duq-lex --large, alebo \"Velke tabulky\" v nastaveniach prostredia).";

std::vector<LimitCase> limitCases()
{
    const std::string longA(999, 'a'), longB(999, 'b');
    return {
        // limits the specification set itself: more room is its own business
        {"nodes", "%e 5\n%%\nabcdef\t;\n", "Parse tree too big ", "Syntakticky strom je prilis velky ", false, false},
        {"positions", "%p 5\n%%\nab\t;\n", "Too many position ", "Prilis vela pozicii ", false, false},
        {"states", "%n 3\n%%\na\t;\nb\t;\n", "Too many states ", "Privela stavov ", false, false},
        {"transitions", "%a 1\n%%\na\t;\n", "Too many transitions ", "Prilis vela prepojeni ", false, false},
        {"output", "%o 100\n%%\na\t;\n", "Full output table", "Preplnenie vystupnej tabulky", false, false},
        {"packed classes", "%k 1\n%%\n[ab]\t;\n", "Too many packed character classes",
         "Privela kompresovanych znakovych tried", false, false},
        // defaults and fixed sizes
        {"nodes default", "%%\na{1000}\t;\n", "Parse tree too big \nTry using %e num",
         "Syntakticky strom je prilis velky \nPokuste sa pouzit '%e num'", true, true},
        {"positions default", "%e 5000\n%%\n\"" + longA + "\"\t;\n\"" + longB + "\"\t;\n",
         "Too many position \nTry using %p num", "Prilis vela pozicii \nSkuste pouzit '%p num'", true, true},
        {"states default", "%e 5000\n%p 90000\n%%\n\"" + longA + "\"\t;\n",
         "Too many states \nTry using %n num", "Privela stavov \nSkuste pouzit '%n num'", true, true},
        {"transitions default", "%e 5000\n%p 90000\n%n 5000\n%%\n\"" + longA + "\"\t;\n\"" + longB + "\"\t;\n\"" + std::string(999, 'c') + "\"\t;\n",
         "Too many transitions \nTry using %a num", "Prilis vela prepojeni \nSkuste pouzit '%a num'", true, true},
        // 3001 states reading ! and ~, each pair on slots of its own
        {"output default", "%e 20000\n%p 90000\n%n 5000\n%a 20000\n%%\n(!|~){3000}\t;\n",
         "Full output table", "Preplnenie vystupnej tabulky", true, true},
        {"definitions", repeat("D x\n", 40) + "%%\n", "Too many definitions", "Prilis vela definicii", true, true},
        {"definition pool", "D " + std::string(999, 'x') + "\n%%\n", "Definitions too long", "Prilis dlha definicia",
         true, true},
        {"start condition names", "%s " + repeat("ABCDEFGHIJ ", 10) + "\n%%\n", "Start conditions too long",
         "Start conditions too long", true, true},
        {"start lists", startLists(26), "Too many start conditions used", "Bolo pouzitych privela 'start' podmienok",
         true, true},
        {"class pool", "%%\n" + growingClasses(50), "Too many large character classes",
         "Privela rozsiahlych znakovych tried", true, true},
        {"class pool at dot", "%%\n" + growingClasses(42) + ".\t;\n", "Too many large character classes",
         "Prilis vela rozsiahlych znakovych tried", true, true},
        // a definition that names itself expands for ever
        {"pushback", "A {A}\n%%\n{A}\t;\n", "Too many character pushed", "Pretecenie zasobnika", false, false},
        {"growing pushback", "A {A}x\n%%\n{A}\t;\n", "Too many character pushed", "Pretecenie zasobnika", true, false},
        {"state positions", "%e 2000\n%%\n" + manyRules(301, "a"), "Too many positions for state - acompute",
         "Privela pozicii pre 'state - acompute'", true, true},
        {"context rules", "%%\n" + manyRules(99, "a") + "x/y\t;\n", "Many right context", "Vela pravych kontextov",
         true, true},
        {"tree allocation", "%e 99999999999\n%%\n", "Too little core for parse tree",
         "Nedostatok volnej operacnej pamati", false, false},
    };
}

std::vector<std::string> after(const std::vector<std::string>& v, const std::string& first)
{
    auto at = std::find(v.begin(), v.end(), first);
    return at == v.end() ? std::vector<std::string>() : std::vector<std::string>(at + 1, v.end());
}

} // namespace

// The large-tables mode gives 16 times the room: those stopped by a default
// or a fixed size go through, the others fail as before, and no run
// suggests the mode it is already in.
TEST(Limits, EachLimitEndsTheRunWithItsMessage)
{
    for (const LimitCase& c : limitCases()) {
        for (int slovak : {0, 1}) {
            SCOPED_TRACE(c.name + (slovak ? " (sk)" : " (en)"));
            Result r = generate(c.spec, slovak);
            EXPECT_EQ(r.status, 1);
            // warnings may come first; the one error ends the run
            std::vector<std::string> errors = errorItems(r);
            ASSERT_EQ(errors.size(), 1u);
            EXPECT_EQ(errors[0].substr(0, errors[0].rfind(" @")), "E " + (slovak ? c.slovak : c.english));
            ASSERT_FALSE(r.messages.empty());
            EXPECT_EQ(r.messages.back() == (slovak ? kLargeHintSk : kLargeHintEn), c.hint) << r.messages.back();
        }
        SCOPED_TRACE(c.name + " (large)");
        Result r = generate(c.spec, 0, 0, 1, 1);
        EXPECT_EQ(r.status, c.passesLarge ? 0 : 1);
        EXPECT_EQ(errorItems(r).size(), c.passesLarge ? 0u : 1u);
        EXPECT_NE(r.messages.back(), kLargeHintEn);
    }
}

TEST(Limits, LargeTablesModeLimits)
{
    // the defaults of the six size directives
    Result stats = generate("%%\na\t;\n", 0, 1, 1, 1);
    ASSERT_EQ(stats.status, 0);
    std::vector<std::string> want = {"3/16000 nodes(%e), 8/40000 positions(%p)",
                                     "3/8000 (%n) states, 2 transitions,",
                                     "0/16000 packed char classes(%k),", "2/64000 packed transitions(%a),",
                                     "98/48000 output slots(%o)"};
    std::vector<std::string> got = after(stats.messages, "STATISTICS:");
    got.resize(std::min(got.size(), want.size()));
    EXPECT_EQ(got, want);

    // more start conditions than a byte can number
    std::string startConditions300 = "%s";
    for (int i = 0; i < 300; ++i)
        startConditions300 += " S" + std::to_string(i);
    startConditions300 += "\n%%\n<S299>a\t;\n";
    Tables t = Tables::parse(generate(startConditions300, 0, 0, 1, 1).output);
    EXPECT_EQ(t.longest("a", 300).first, 1);  // INITIAL is 0
    EXPECT_EQ(t.longest("a", 44).first, 0);

    struct Case {
        std::string name, spec;
        int status;
        std::string error;  // the error item without its line, "" none
    };
    const Case cases[] = {
        // a{n} takes 2n + 1 nodes
        {"nodes", "%n 20000\n%p 90000\n%%\na{7999}\t;\n", 0, ""},
        {"nodes over", "%n 20000\n%p 90000\n%%\na{8000}\t;\n", 1, "E Parse tree too big \nTry using %e num"},
        {"definitions", repeat("D x\n", 639) + "%%\n", 0, ""},
        {"definitions over", repeat("D x\n", 640) + "%%\n", 1, "E Too many definitions"},
        {"state positions", "%e 30000\n%%\n" + manyRules(4800, "a"), 0, ""},
        {"state positions over", "%e 30000\n%%\n" + manyRules(4801, "a"), 1,
         "E Too many positions for state - acompute"},
        {"start conditions", startConditions300, 0, ""},
        {"parser stack", "%%\n" + std::string(2390, '(') + "a" + std::string(2390, ')') + "\t;\n", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = generate(c.spec, 0, 0, 1, 1);
        EXPECT_EQ(r.status, c.status);
        std::vector<std::string> errors = errorItems(r);
        ASSERT_EQ(errors.size(), c.error.empty() ? 0u : 1u);
        if (!c.error.empty()) {
            EXPECT_EQ(errors[0].substr(0, errors[0].rfind(" @")), c.error);
        }
    }
    Result deep = generate("%%\n" + std::string(2400, '(') + "a" + std::string(2400, ')') + "\t;\n", 0, 0, 1, 1);
    EXPECT_EQ(deep.status, 1);
    EXPECT_EQ(std::count(deep.messages.begin(), deep.messages.end(), "yacc stack overflow"), 1);
}

TEST(Limits, SizeDirectives)
{
    struct Case {
        const char* spec;
        int status;
    };
    const Case cases[] = {
        // just enough room
        {"%e 7\n%%\nabcde\t;\n", 0},
        {"%n 4\n%%\na\t;\nb\t;\n", 0},
        {"%k 2\n%%\n[ab]\t;\n", 0},
        {"%o 131\n%%\na\t;\n", 0},
        // no transitions: an empty output table is enough
        {"%o 0\n%%\n", 0},
        // degenerate sizes, a missing number counting as 0
        {"%o\n%%\na\t;\n", 1},
        {"%a 0\n%%\na\t;\n", 1},
        {"%n 0\n%%\n", 1},
        {"%p 0\n%%\na\t;\n", 1},
        {"%k 0\n%%\n.\t;\n", 1},
        {"%e 0\n%%\na\t;\n", 1},
        {"%e 99999999999999999999999\n%%\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        Result r = generate(c.spec);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(errorItems(r).size(), c.status == 0 ? 0u : 1u);
    }
}

TEST(Limits, ParserStackOverflow)
{
    for (int slovak : {0, 1}) {
        Result r = generate("%%\n" + std::string(160, '(') + "a" + std::string(160, ')') + "\t;\n", slovak);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(std::count(r.messages.begin(), r.messages.end(),
                             slovak ? "preplnenie Yacc zasobnika" : "yacc stack overflow"),
                  1);
        EXPECT_EQ(r.messages.back(), slovak ? kLargeHintSk : kLargeHintEn);
    }
}

TEST(Limits, LongStringIsCutWithAWarning)
{
    Result r = generate("%e 3000\n%p 9000\n%n 2000\n%%\n\"" + std::string(1005, 'q') + "\"\t;\n");
    EXPECT_EQ(r.status, 0);
    ASSERT_FALSE(r.errors.empty());
    EXPECT_EQ(r.errors[0], "W String too long @5");
    // the first 999 characters are the string; the rest of the line is
    // pattern text, where the closing quote opens a second string
    Tables t = Tables::parse(r.output);
    EXPECT_EQ(t.longest(std::string(1005, 'q') + "\t;").second, 1007);
}
