// Every error of the grammar reader and the checks, in both languages, with
// the line it is reported on; and the fixed limits.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

using namespace yacctest;

namespace {

struct ErrorCase {
    const char* grammar;
    const char* english;
    const char* slovak;
    int line;
};

void expectSingleFatal(const ErrorCase& c, int slovak)
{
    TempDir dir;
    Options opt;
    opt.slovak = slovak;
    Generation g = generate(c.grammar, opt);
    EXPECT_EQ(g.status, 1);
    ASSERT_EQ(g.sinks.errors.size(), 1u);
    EXPECT_EQ(g.sinks.errors[0].text, slovak ? c.slovak : c.english);
    EXPECT_EQ(g.sinks.errors[0].line, c.line);
    // A fatal error takes the parser file and the temporary files along.
    EXPECT_FALSE(exists("g.cpp"));
    EXPECT_FALSE(exists("yacc.tmp"));
    EXPECT_FALSE(exists("yacc.act"));
}

} // namespace

TEST(Errors, ReaderErrorsInBothLanguages)
{
    const ErrorCase cases[] = {
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
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.grammar);
        expectSingleFatal(c, 0);
        expectSingleFatal(c, 1);
    }
}

TEST(Errors, MissingSkeletonAndDoubleSplice)
{
    struct Case {
        const char* skeleton;  // nullptr: no skeleton file at all
        const char* english;
        const char* slovak;
    };
    const Case cases[] = {
        {nullptr, "cannot find parser skeleton file \"skel\"", "nemozno najst skeleton subor \"skel\""},
        // The action file is gone after the first splice.
        {"$A and $A", "cannot reopen action tempfile", "nemozno opatovne otvorit pracovny subor 'action'"},
    };
    for (const Case& c : cases) {
        for (int slovak = 0; slovak < 2; ++slovak) {
            TempDir dir;
            Options opt;
            opt.slovak = slovak;
            opt.skeleton = c.skeleton ? c.skeleton : "";
            writeFile("g.y", "%%\ns : 'a' { x(); } ;\n");
            if (!c.skeleton)
                std::filesystem::remove("skel");
            RecordingSinks sinks;
            int count = -1;
            if (c.skeleton)
                writeFile("skel", c.skeleton);
            const int status = duq_yacc::yacc_run(sinks, "skel", "g.y", "g.cpp", 0, &count, slovak, "", "");
            EXPECT_EQ(status, 1);
            ASSERT_EQ(sinks.errors.size(), 1u);
            EXPECT_EQ(sinks.errors[0].text, slovak ? c.slovak : c.english);
            EXPECT_FALSE(exists("g.cpp"));
            EXPECT_FALSE(exists("yacc.act"));
            EXPECT_FALSE(exists("yacc.tmp"));
            EXPECT_EQ(count, 0);
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
            Options opt;
            opt.slovak = slovak;
            Generation g = generate(c.grammar, opt);
            EXPECT_EQ(g.status, 1);
            std::vector<std::string> texts;
            for (const ErrorItem& e : g.sinks.errors)
                texts.push_back(e.text);
            EXPECT_EQ(texts, slovak ? c.slovak : c.english);
            // These checks end the run without removing its files.
            EXPECT_TRUE(exists("g.cpp"));
            EXPECT_EQ(g.sinks.messages.back(), slovak ? "Vypocet tabuliek... " : "Making tables... ");
        }
    }
}

namespace {
std::string alternatives(int n, const std::string& symbol)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += (i ? " | " : "") + symbol;
    return s;
}
std::string sequence(int n, const std::string& prefix, bool numbered = true)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += " " + prefix + (numbered ? std::to_string(i) : "");
    return s;
}
} // namespace

struct LimitCase {
    const char* name;
    std::string fits;     // a grammar just inside the limit ("" to skip)
    std::string exceeds;  // the same one step over it
    const char* english;
    const char* slovak;
};

TEST(Limits, EachLimitEndsTheRunWithItsMessage)
{
    std::string tags;
    for (int i = 0; i < 64; ++i)
        tags += "%type <t" + std::to_string(i) + "> n" + std::to_string(i) + "\n";
    std::string levels63, levels64;
    for (int i = 0; i < 64; ++i)
        (i < 63 ? levels63 : levels64) += "%left 'a" + std::to_string(i) + "'\n";
    levels64 = levels63 + levels64;
    // Names keep 49 characters, so each takes 50 places of the 3000.
    std::string names61;
    for (int i = 0; i < 61; ++i)
        names61 += "%token " + std::string(46, 'x') + vork::format("%03d", i) + "\n";
    // 27 nonterminals of 11 alternatives each, plus s and $accept's rule:
    // 299 rules, and small closures throughout.
    auto manyRules = [](int extra) {
        std::string g = "%%\ns :" + sequence(27, "n") + " ;\n";
        for (int i = 0; i < 27; ++i) {
            g += "n" + std::to_string(i) + " : ";
            for (int k = 0; k < 11 + (i == 26 ? extra : 0); ++k)
                g += std::string(k ? " | " : "") + "'t" + std::to_string(k) + "'";
            g += " ;\n";
        }
        return g;
    };
    // Every T_i puts its own lookahead on a and b; the shared states after
    // 'x' and 'y' collect them one union at a time.
    auto manyLookaheads = [](int k) {
        std::string g = "%token" + sequence(k, "T") + "\n%%\ns :";
        for (int i = 0; i < k; ++i)
            g += std::string(i ? " |" : "") + " T" + std::to_string(i) + " a b T" + std::to_string(i);
        return g + " ;\na : 'x' ;\nb : 'y' | ;\n";
    };
    // k states shifting the same 100 tokens: 200 numbers each in the
    // optimizer's input, which holds 3700.
    auto manyShifts = [](int k) {
        std::string g = "%token" + sequence(100, "T") + "\n%%\ns :";
        for (int i = 0; i < k; ++i)
            g += " 'p" + std::to_string(i) + "' x";
        std::string x;
        for (int i = 0; i < 100; ++i)
            x += std::string(i ? " |" : "") + " T" + std::to_string(i);
        return g + " ;\nx :" + x + " ;\n";
    };
    auto manyNonterminals = [](int n) {
        std::string g = "%%\ns :" + sequence(n, "n") + " ;\n";
        for (int i = 0; i < n; ++i)
            g += "n" + std::to_string(i) + " : 'x' ;\n";
        return g;
    };

    const LimitCase cases[] = {
        {"terminals", "%token" + sequence(124, "T") + "\n%%\ns : T0 ;\n",
         "%token" + sequence(125, "T") + "\n%%\ns : T0 ;\n", "too many terminals, limit 127", "privela terminalov, limit 127"},
        {"nonterminals", manyNonterminals(198), manyNonterminals(199),
         "too many nonterminals, limit 200", "privela neterminalov, limit 200"},
        {"name space", "", names61 + "%%\ns : 'a' ;\n", "too many characters in id's and literals",
         "privela znakov v identifikatore alebo literale"},
        {"rules", manyRules(0), manyRules(1),
         "more than 300 rules", "viac ako 300 pravidiel"},
        {"rule memory", "", "%%\ns :" + sequence(3700, "'a'", false) + " ;\n", "too many symbols in rules, limit 3700",
         "privela symbolov v pravidlach, limit 3700"},
        {"type tags", "", tags + "%%\ns : 'a' ;\n", "too many types, limit 63", "privela typov, limit 63"},
        {"precedence levels", levels63 + "%%\ns : 'a0' ;\n", levels64 + "%%\ns : 'a0' ;\n",
         "too many precedence levels, limit 63", "privela urovni priority, limit 63"},
        // 497 symbols: state 0, the goto on s and one state per 'a' make 499.
        {"states", "%%\ns :" + sequence(497, "'a'", false) + " ;\n", "%%\ns :" + sequence(498, "'a'", false) + " ;\n",
         "too many states", "privelky pocet stavov"},
        {"state space", "", "%%\ns :" + sequence(3000, "'a'", false) + " ;\n", "out of state space",
         "nedostatok volnej pamate"},
        {"working set", "%%\ns : " + alternatives(73, "a") + " ;\na : 'x' ;\n",
         "%%\ns :" + [] {
             std::string s;
             for (int i = 0; i < 75; ++i)
                 s += std::string(i ? " |" : "") + " a" + std::to_string(i);
             s += " ;\n";
             for (int i = 0; i < 75; ++i)
                 s += "a" + std::to_string(i) + " : 'x' ;\n";
             return s;
         }(),
         "working set overflow", "pretecenie pracovnej mnoziny"},
        {"lookahead sets", manyLookaheads(70), manyLookaheads(75), "too many lookahead sets",
         "je pozadovanych privelky 'lookahead'"},
        {"optimizer input", manyShifts(18), manyShifts(19), "out of space", "nedostatok pamati"},
        {"packed table", "%token A 3400\n%%\ns : A ;\n", "%token A 3600\n%%\ns : A ;\n",
         "out of space in optimizer a array", "nedostatok pamati pri optimalizacnych akciach"},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.fits.empty()) {
            TempDir dir;
            Generation g = generate(c.fits);
            EXPECT_EQ(g.status, 0);
            if (!g.sinks.errors.empty())
                ADD_FAILURE() << g.sinks.errors[0].text;
        }
        for (int slovak = 0; slovak < 2; ++slovak) {
            TempDir dir;
            Options opt;
            opt.slovak = slovak;
            Generation g = generate(c.exceeds, opt);
            EXPECT_EQ(g.status, 1);
            ASSERT_EQ(g.sinks.errors.size(), 1u);
            EXPECT_EQ(g.sinks.errors[0].text, slovak ? c.slovak : c.english);
            EXPECT_FALSE(exists("g.cpp"));
        }
    }
}
