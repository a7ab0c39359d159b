// Every error of the grammar reader and the checks, in both languages, with
// the line it is reported on; and the fixed limits.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

using namespace yacctest;

TEST(Errors, ReaderErrorsInBothLanguages)
{
    struct Case {
        const char* grammar;
        const char* english;
        const char* slovak;
        int line;
    };
    const Case cases[] = {
        {"%token A\n", "unexpected EOF before %", "neocakavany vyskyt EOF pred %", 2},
        {"%token A\n}\n%%\n", "syntax error", "syntakticka chyba", 2},
        {"%start ;\n", "bad %start construction", "chybna %start konstrukcia", 1},
        {"%type A\n", "bad syntax in %type", "chybna syntax v konstrukcii %type", 1},
        {"%token <abc\n", "unterminated < ... > clause", "neukoncena < ... > klauzula", 1},
        {"%token 'a\n", "illegal or missing ' or \"", "nedovoleny alebo chybajuci znak ' or \"", 1},
        {"%foo\n", "invalid escape, or illegal reserved word: foo",
         "nedovolena 'escape' sekvencia, alebo nedovolene klucove slovo: foo", 1},
        {"/x\n", "illegal comment", "nedovoleny komentar", 1},
        {"/* a\n b", "EOF inside comment", "bolo indikovane EOF vo vnutri komentara", 1},
        {"%left A\n%left A\n", "redeclaration of precedence of A", "redeklaracia priority A", 2},
        {"%token <x> A\n%token <y> A\n", "redeclaration of type of A", "redeklaracia typu A", 2},
        {"%token A\n%{\n%}\n%token A 300\n", "please define type number of A earlier",
         "prosim definujte cislo typu A uz skor", 4},
        {"%token <x> A\n%type <y> A\n", "type redeclaration of token A", "redeklaracia typu lexikalneho elementu A", 2},
        {"%type <x> e\n%type <y> e\n", "type redeclaration of nonterminal e", "redeklaracia typu neterminalu e", 2},
        {"%union { int i;\n", "EOF encountered while processing %union", "pri spracovavani %union bol indikovany EOF", 2},
        {"%{\nint x;\n", "eof before %}", "bol indikovany EOF pred  %}", 3},
        {"%%\nfoo bar\n", "bad syntax on first rule", "chybna syntax prveho pravidla", 2},
        {"%token A\n%%\nA : ;\n", "token illegal on LHS of grammar rule",
         "nedovoleny lexikalny element na LHS pravidla gramatiky", 3},
        {"%%\ns : 'a' ;\n  b ;\n", "illegal rule: missing semicolon or | ?",
         "nedovolene pravidlo: chybajuca bodkociarka alebo | ?", 3},
        {"%%\ns : 'a' %prec ;\n", "illegal %prec syntax", "nedovolena %prec syntax", 2},
        {"%%\ns : 'a' %prec X ;\n", "X should have been defined earlier", "X by mal byt definovany uz skor", 2},
        {"%%\ns : 'a' %prec s ;\n", "nonterminal s illegal after %prec", "neterminal s nie je dovoleny za %prec", 2},
        // The rule is checked once its end is read, i.e. at the next token.
        {"%type <v> s\n%%\ns : ;\n", "must return a value, since LHS has a type", "je nutne vratit hodnotu, kedze LHS ma typ", 4},
        {"%token <a> A\n%type <b> s\n%%\ns : A ;\n", "default action causes potential type clash",
         "implicitna akcia sposobuje mozny stret typov", 5},
        {"%token <a> A\n%%\ns : A { $$ = 1; } ;\n", "must specify type for s", "je nutne specifikovat typ pre s", 3},
        {"%token <a> A\n%type <a> s\n%%\ns : A { $$ = $0; } ;\n", "must specify type of $0", "je nutne specifikovat typ $0", 4},
        {"%%\ns : 'a' { x = $2; } ;\n", "Illegal use of $2", "Nedovolene pouzitie $2", 2},
        {"%%\ns : 'a' { x;\n", "action does not terminate", "akcia nebola ukoncena", 3},
        {"%%\ns : 'a' { \"ab\n\" } ;\n", "newline in string or char. const.",
         "indikovany znak 'novy riadok' v retazci alebo znakovej konstante", 2},
        {"%%\ns : 'a' { 'a", "EOF in string or character constant",
         "bol indikovany EOF vo vnutri retazca alebo znakovej konstanty", 2},
        {"%%\ns : 'a' { \"\\", "EOF in string or character constant",
         "bol indikovany EOF vo vnutri retazca alebo znakovej konstanty", 2},
        {"%%\ns : 'a' { /* x *", "EOF inside comment", "bolo indikovane EOF vo vnutri komentara", 2},
        {"%%\ns : 'a' { $<x\n", "bad syntax on $<ident> clause", "chybna syntax v $<ident> klauzule", 2},
        {"%token '\\q'\n", "invalid escape", "nedovolena 'escape' sekvencia", 1},
        {"%token '\\xy'\n", "invalid escape", "nedovolena 'escape' sekvencia", 1},
        {"%token '\\01'\n", "illegal \\nnn construction", "nedovolena \\nnn konstrukcia", 1},
        {"%token '\\000'\n", "'\\000' is illegal", "'\\000' nie je dovolene", 1},
        {"%type <x> s\n%token s\n", "nonterminal s declared as a token",
         "neterminal s deklarovany ako lexikalny element", 2},
        // A label no switch of the action encloses would be one of the
        // parser's own switch on the rule number.
        {"%%\ns : 'a' { x = 1;\n default: x = 2; } ;\n", "default label outside a switch in an action",
         "navestie default mimo prikazu switch v akcii", 3},
        {"%%\ns : 'a' { case 2: ; } | 'b' ;\n", "case label outside a switch in an action",
         "navestie case mimo prikazu switch v akcii", 2},
        {"%%\ns : 'a' { switch (x) { case 1: { break; } } default\n : ; } ;\n",
         "default label outside a switch in an action", "navestie default mimo prikazu switch v akcii", 3},
    };
    for (const Case& c : cases) {
        for (int slovak = 0; slovak < 2; ++slovak) {
            SCOPED_TRACE(std::string(c.grammar) + (slovak ? " (Slovak)" : ""));
            TempDir dir;
            const Generation g = generate(c.grammar, slovak);
            EXPECT_EQ(g.status, 1);
            ASSERT_EQ(g.sinks.errors.size(), 1u);
            EXPECT_EQ(g.sinks.errors[0].text, slovak ? c.slovak : c.english);
            EXPECT_EQ(g.sinks.errors[0].line, c.line);
            // A fatal error takes the parser file and the temporary files along.
            EXPECT_FALSE(exists("g.cpp"));
            EXPECT_EQ(vorktest::namesStartingWith(".", "yacc"), std::vector<std::string>{});
        }
    }
}

TEST(Errors, GrammarChecksReportEveryOffender)
{
    struct Case {
        const char* grammar;
        std::vector<std::string> english;
        std::vector<std::string> slovak;
    };
    const Case cases[] = {
        {"%%\ns : a 'x' b ;\nc : 'y' ;\n",
         {"nonterminal \"a\" not defined!", "nonterminal \"b\" not defined!"},
         {"neterminal \"a\" nebol definovany!", "neterminal \"b\" nebol definovany!"}},
        {"%%\ns : a | b ;\na : a 'x' ;\nb : 'y' b ;\n",
         {"nonterminal \"s\" never derives any token string", "nonterminal \"a\" never derives any token string",
          "nonterminal \"b\" never derives any token string"},
         {"neterminal \"s\" nemoze byt derivovany ziadnou postupnostou lexikalnych elementov",
          "neterminal \"a\" nemoze byt derivovany ziadnou postupnostou lexikalnych elementov",
          "neterminal \"b\" nemoze byt derivovany ziadnou postupnostou lexikalnych elementov"}},
    };
    for (const Case& c : cases) {
        for (int slovak = 0; slovak < 2; ++slovak) {
            SCOPED_TRACE(c.grammar);
            TempDir dir;
            const Generation g = generate(c.grammar, slovak);
            EXPECT_EQ(g.status, 1);
            EXPECT_EQ(g.sinks.texts(), slovak ? c.slovak : c.english);
            // Like every failed run, these checks take the run's files along.
            EXPECT_FALSE(exists("g.cpp"));
            EXPECT_EQ(vorktest::namesStartingWith(".", "yacc"), std::vector<std::string>{});
            EXPECT_EQ(g.sinks.messages.back(), slovak ? "Vypocet tabuliek... " : "Making tables... ");
        }
    }
}

namespace {
// n copies of pattern, separated by sep; each %d in pattern becomes the
// copy's number.
std::string repeat(int n, const std::string& pattern, const char* sep = "")
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (i ? sep : "") + vork::format(pattern.c_str(), i, i);
    return s;
}
} // namespace

// Labels of the action's own switches, and the words in comments, strings,
// other names, C++'s "= default" and C11's _Generic, are code like any
// other.
TEST(Errors, LabelsInsideAnActionsOwnSwitchAreKept)
{
    const char* actions[] = {
        "{ switch (x) { case 1: y = 2; break; default: y = 3; } }",
        "{ if (a) { switch (f(x, (y))) { case 1: { default: ; } } } z = 0; }",
        "{ switch (x) case 1: y = 2; default: ; }",
        "{ /* default: */ s = \"case 1:\"; c = ':'; // default: case\n }",
        "{ struct S { S() = default; }; }",
        "{ x = _Generic(y, int: 1, default: 2); }",
        "{ my_default: ; casex = 1; default_x: goto my_default; }",
        "{ switch (x) { case 1: switch (y) { default: ; } case 2: ; } }",
    };
    for (const char* action : actions) {
        SCOPED_TRACE(action);
        TempDir dir;
        const Generation g = generate(std::string("%%\ns : 'a' ") + action + " ;\n", 0);
        EXPECT_EQ(g.status, 0);
        EXPECT_TRUE(g.sinks.errors.empty());
        EXPECT_NE(readFile("g.cpp").find(std::string(action).substr(1)), std::string::npos);
    }
}

TEST(Limits, EachLimitEndsTheRunWithItsMessage)
{
    // 27 nonterminals of 11 alternatives each, plus s and $accept's rule:
    // 299 rules, and small closures throughout.
    auto manyRules = [](int extra) {
        std::string g = "%%\ns :" + repeat(27, " n%d") + " ;\n";
        for (int i = 0; i < 27; ++i)
            g += "n" + std::to_string(i) + " : " + repeat(11 + (i == 26 ? extra : 0), "'t%d'", " | ") + " ;\n";
        return g;
    };
    auto manyNonterminals = [](int n) { return "%%\ns :" + repeat(n, " n%d") + " ;\n" + repeat(n, "n%d : 'x' ;\n"); };
    auto levels = [](int n) { return repeat(n, "%%left 'a%d'\n") + "%%\ns : 'a0' ;\n"; };
    auto symbols = [](int n) { return "%%\ns :" + repeat(n, " 'a'") + " ;\n"; };
    // Every T_i puts its own lookahead on a and b; the shared states after
    // 'x' and 'y' collect them one union at a time.
    auto manyLookaheads = [](int k) {
        return "%token" + repeat(k, " T%d") + "\n%%\ns :" + repeat(k, " T%d a b T%d", " |") +
               " ;\na : 'x' ;\nb : 'y' | ;\n";
    };
    // k states shifting the same 100 tokens: 200 numbers each in the
    // optimizer's input, which holds 3700.
    auto manyShifts = [](int k) {
        return "%token" + repeat(100, " T%d") + "\n%%\ns :" + repeat(k, " 'p%d' x") + " ;\nx :" +
               repeat(100, " T%d", " |") + " ;\n";
    };
    struct Case {
        const char* name;
        std::string fits;     // a grammar just inside the limit ("" to skip)
        std::string exceeds;  // the same one step over it
        const char* english;
        const char* slovak;
    };
    const Case cases[] = {
        {"terminals", "%token" + repeat(124, " T%d") + "\n%%\ns : T0 ;\n", "%token" + repeat(125, " T%d") + "\n%%\ns : T0 ;\n",
         "too many terminals, limit 127", "privela terminalov, limit 127"},
        {"nonterminals", manyNonterminals(198), manyNonterminals(199), "too many nonterminals, limit 200",
         "privela neterminalov, limit 200"},
        // Names keep 49 characters, so each takes 50 places of the 3000.
        {"name space", "", repeat(61, "%%token " + std::string(46, 'x') + "%03d\n") + "%%\ns : 'a' ;\n",
         "too many characters in id's and literals", "privela znakov v identifikatore alebo literale"},
        {"rules", manyRules(0), manyRules(1), "more than 300 rules", "viac ako 300 pravidiel"},
        {"rule memory", "", symbols(3700), "too many symbols in rules, limit 3700", "privela symbolov v pravidlach, limit 3700"},
        {"type tags", "", repeat(64, "%%type <t%d> n%d\n") + "%%\ns : 'a' ;\n" + repeat(64, "n%d : 'a' { $$ = 0; } ;\n"),
         "too many types, limit 63",
         "privela typov, limit 63"},
        {"precedence levels", levels(63), levels(64), "too many precedence levels, limit 63",
         "privela urovni priority, limit 63"},
        // 497 symbols: state 0, the goto on s and one state per 'a' make 499.
        {"states", symbols(497), symbols(498), "too many states", "privelky pocet stavov"},
        {"state space", "", symbols(3000), "out of state space", "nedostatok volnej pamate"},
        {"working set", "%%\ns : " + repeat(73, "a", " | ") + " ;\na : 'x' ;\n",
         "%%\ns :" + repeat(75, " a%d", " |") + " ;\n" + repeat(75, "a%d : 'x' ;\n"), "working set overflow",
         "pretecenie pracovnej mnoziny"},
        {"lookahead sets", manyLookaheads(70), manyLookaheads(75), "too many lookahead sets",
         "je pozadovanych privelky 'lookahead'"},
        {"optimizer input", manyShifts(18), manyShifts(19), "out of space", "nedostatok pamati"},
        {"packed table", "%token A 3400\n%%\ns : A ;\n", "%token A 3600\n%%\ns : A ;\n",
         "out of space in optimizer a array", "nedostatok pamati pri optimalizacnych akciach"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.fits.empty()) {
            TempDir dir;
            const Generation g = generate(c.fits);
            EXPECT_EQ(g.status, 0);
            EXPECT_EQ(g.sinks.texts(), std::vector<std::string>());
        }
        for (int slovak = 0; slovak < 2; ++slovak) {
            TempDir dir;
            const Generation g = generate(c.exceeds, slovak);
            EXPECT_EQ(g.status, 1);
            EXPECT_EQ(g.sinks.texts(), std::vector<std::string>{slovak ? c.slovak : c.english});
            ASSERT_FALSE(g.sinks.messages.empty());
            EXPECT_EQ(g.sinks.messages.back(), largeTablesHint(slovak));
            EXPECT_FALSE(exists("g.cpp"));
        }
        // The large tables hold what overflows the default ones.
        TempDir dir;
        const Generation g = generate(c.exceeds, 0, 1);
        EXPECT_EQ(g.status, 0);
        EXPECT_EQ(g.sinks.texts(), std::vector<std::string>());
    }
}

TEST(Limits, LargeTablesKeepTheMessagesAtSixteenTimesTheLimits)
{
    auto nonterminals = [](int n) { return "%%\ns :" + repeat(n, " n%d") + " ;\n" + repeat(n, "n%d : 'x' ;\n"); };
    auto symbols = [](int n) { return "%%\ns :" + repeat(n, " 'a'") + " ;\n"; };
    struct Case {
        const char* name;
        std::string grammar;
        const char* english;
        const char* slovak;
    };
    const Case cases[] = {
        {"terminals", "%token" + repeat(2030, " T%d") + "\n%%\ns : T0 ;\n", "too many terminals, limit 2032",
         "privela terminalov, limit 2032"},
        {"nonterminals", nonterminals(3199), "too many nonterminals, limit 3200", "privela neterminalov, limit 3200"},
        {"name space", repeat(961, "%%token " + std::string(46, 'x') + "%03d\n") + "%%\ns : 'a' ;\n",
         "too many characters in id's and literals", "privela znakov v identifikatore alebo literale"},
        {"rules", "%%\ns : " + repeat(4799, "'a'", " | ") + " ;\n", "more than 4800 rules", "viac ako 4800 pravidiel"},
        {"rule memory", symbols(59200), "too many symbols in rules, limit 59200",
         "privela symbolov v pravidlach, limit 59200"},
        {"type tags", repeat(1009, "%%type <t%d> n%d\n") + "%%\ns : 'a' ;\n", "too many types, limit 1008",
         "privela typov, limit 1008"},
        {"precedence levels", repeat(1009, "%%left 'a%d'\n") + "%%\ns : 'a0' ;\n",
         "too many precedence levels, limit 1008", "privela urovni priority, limit 1008"},
        {"states", symbols(7998), "too many states", "privelky pocet stavov"},
        {"working set", "%%\ns :" + repeat(1200, " a%d", " |") + " ;\n" + repeat(1200, "a%d : 'x' ;\n"),
         "working set overflow", "pretecenie pracovnej mnoziny"},
    };
    for (const Case& c : cases) {
        for (int slovak = 0; slovak < 2; ++slovak) {
            SCOPED_TRACE(std::string(c.name) + (slovak ? " (Slovak)" : ""));
            TempDir dir;
            const Generation g = generate(c.grammar, slovak, 1);
            EXPECT_EQ(g.status, 1);
            EXPECT_EQ(g.sinks.texts(), std::vector<std::string>{slovak ? c.slovak : c.english});
            // Already in the large mode: no pointer to it.
            for (const std::string& m : g.sinks.messages)
                EXPECT_EQ(m.find("--large"), std::string::npos) << m;
            EXPECT_FALSE(exists("g.cpp"));
        }
    }
}
