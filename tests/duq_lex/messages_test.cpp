// Progress lines, errors and warnings of DUQ-Lex in both languages.
#include "lex_harness.h"

#include "duq_lex/lex_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

using namespace lextest;

namespace {

bool contains(const std::vector<std::string>& v, const std::string& s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}

class Capture : public vork::Sinks {
public:
    void message(const std::string& t) override { lines.push_back("M " + t); }
    void lexError(const std::string& t, int line) override { lines.push_back("E " + t + " @" + std::to_string(line)); }
    void lexWarning(const std::string& t, int line) override { lines.push_back("W " + t + " @" + std::to_string(line)); }
    void yaccError(const std::string& t, int) override { lines.push_back("Y " + t); }
    std::vector<std::string> lines;
};

} // namespace

TEST(Messages, SuccessfulRunInBothLanguages)
{
    struct Case {
        int slovak, optimise;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {0, 1, {"M Initialization... ", "M Parsing input file \"x.l\"... ", "M Computing tables... ", "M Optimizing ",
                "M Writing C source... ", "M Analyzer written to  \"x.c\".", "M Everything went OK! DUQ-lex done."}},
        {0, 0, {"M Initialization... ", "M Parsing input file \"x.l\"... ", "M Computing tables... ", "M Optimizing ",
                "M Packing ", "M Writing C source... ", "M Analyzer written to  \"x.c\".",
                "M Everything went OK! DUQ-lex done."}},
        {1, 1, {"M Inicializacia... ", "M Analyza vstupneho suboru \"x.l\"... ", "M Vypocet prekladovych tabuliek... ",
                "M Optimalizacia ", "M Zapis generovanych suborov... ",
                "M Lexikalny analyzator bol zapisany do suboru \"x.c\".", "M Vsetko prebehlo v poriadku! Akcia ukoncena."}},
        {1, 0, {"M Inicializacia... ", "M Analyza vstupneho suboru \"x.l\"... ", "M Vypocet prekladovych tabuliek... ",
                "M Optimalizacia ", "M Kompresia ", "M Zapis generovanych suborov... ",
                "M Lexikalny analyzator bol zapisany do suboru \"x.c\".", "M Vsetko prebehlo v poriadku! Akcia ukoncena."}},
    };
    TempDir dir;
    dir.write("x.l", "%%\na\t;\n");
    dir.write("skel", "\n");
    // relative names, as the IDE passes them from the project directory
    ASSERT_EQ(chdir(dir.path("").c_str()), 0);
    for (const Case& c : cases) {
        Capture s;
        EXPECT_EQ(duq_lex::lex_run(s, "skel", "x.l", "x.c", c.slovak, 0, c.optimise), 0);
        ASSERT_FALSE(s.lines.empty());
        EXPECT_EQ(s.lines[0].rfind("M DUQ-Lex  Version 1.00", 0), 0u);
        std::vector<std::string> rest(s.lines.begin() + 1, s.lines.end());
        EXPECT_EQ(rest, c.want);
    }
    ASSERT_EQ(chdir("/"), 0);
}

TEST(Messages, StatisticsAfterSuccessAndAfterError)
{
    Result ok = generate("%%\nab\t;\n", 0, 1);
    ASSERT_EQ(ok.status, 0);
    // nodes: a, b (string), final, concat; positions: follow sets of a and b
    // and the sets of the states 0..3
    std::vector<std::string> want = {"STATISTICS:", "4/1000 nodes(%e), 12/2500 positions(%p)",
                                     "4/500 (%n) states, 3 transitions,", "0/1000 packed char classes(%k),",
                                     "4/4000 packed transitions(%a),", "99/3000 output slots(%o)"};
    std::vector<std::string> tail(ok.messages.end() - 7, ok.messages.end() - 1);
    EXPECT_EQ(tail, want);

    Result sk = generate("%%\nab\t;\n", 1, 1, 0);
    ASSERT_EQ(sk.status, 0);
    EXPECT_TRUE(contains(sk.messages, "STATISTICKE INFORMACIE :"));
    EXPECT_TRUE(contains(sk.messages, "4/1000 uzly(%e), 12/2500 pozicie(%p)"));
    EXPECT_TRUE(contains(sk.messages, "4/500 (%n) stavy, 3 prenosy,"));
    EXPECT_TRUE(contains(sk.messages, "0/1000 kompresovanych znakovych tried(%k),"));
    for (const std::string& m : sk.messages)  // unoptimised: no packed-transitions line
        EXPECT_EQ(m.find("kompresovanych prenosov"), std::string::npos);
    // state 1 keeps its own list: a at 99, then b at 100
    EXPECT_TRUE(contains(sk.messages, "100/3000 vystupnych pozicii(%o)"));

    Result bad = generate("%%\na\t{ x;\n", 0, 1);
    EXPECT_EQ(bad.status, 1);
    ASSERT_EQ(bad.errors.size(), 1u);
    EXPECT_TRUE(contains(bad.messages, "STATISTICS:"));
}

TEST(Messages, MissingSkeletonAndUnreadableSpec)
{
    TempDir dir;
    dir.write("x.l", "%%\na\t;\n");
    dir.write("skel", "\n");
    struct Case {
        std::string skel, spec;
        int slovak;
        std::string want;
    };
    const Case cases[] = {
        {dir.path("none"), dir.path("x.l"), 0, "E Lex driver , file: " + dir.path("none") + ", not found  @0"},
        {dir.path("none"), dir.path("x.l"), 1, "E Nemozno najst skeleton subor \"" + dir.path("none") + "\". @0"},
        {dir.path("skel"), dir.path("nospec.l"), 0, "E Can't read input file: " + dir.path("nospec.l") + " @0"},
        {dir.path("skel"), dir.path("nospec.l"), 1, "E Nemozno citat vstupny subor: " + dir.path("nospec.l") + " @0"},
    };
    for (const Case& c : cases) {
        Capture s;
        EXPECT_EQ(duq_lex::lex_run(s, c.skel, c.spec, dir.path("out.c"), c.slovak, 0, 1), 1);
        EXPECT_EQ(s.lines.back(), c.want);
        // the missing skeleton is noticed before the specification is read
        for (const std::string& l : s.lines)
            EXPECT_EQ(l.find("Parsing"), std::string::npos);
    }
}

TEST(Messages, WarningsAndErrorsOfTheSpecification)
{
    struct Case {
        const char* spec;
        int slovak;
        int status;
        const char* want;  // the last error-list item, prefixed "E "/"W ", with "@line"
    };
    const Case cases[] = {
        {"%x\n%%\n", 0, 0, "W Invalid request %x @1"},
        {"%x\n%%\n", 1, 0, "W Nedovolena poziadavka %x @1"},
        {"1D a\n%%\n", 0, 0, "W Substitution strings may not begin with digits @1"},
        {"1D a\n%%\n", 1, 0, "W Substitucne retazce nemozu zacinat cislicou @1"},
        {"D  \n%%\n", 0, 0, "W No translation given - null string assumed @1"},
        {"D  \n%%\n", 1, 0, "W Nebol zadany ziadny preklad - berieme 'null' retazec @1"},
        {"%{\nint a;\n", 0, 1, "E Premature EOF @-1"},
        {"%{\nint a;\n", 1, 1, "E Predcasny znak EOF @-1"},
        {"%%\n{X}\t;\n", 0, 0, "W Definition X not found @2"},
        {"%%\n{X}\t;\n", 1, 0, "W Definicia X neexistuje @2"},
        {"%%\n<Q>a\t;\n", 0, 0, "W Undefined start condition Q @2"},
        {"%%\n<Q>a\t;\n", 1, 0, "W Nebola definovana podmienka 'start' Q @2"},
        {"%%\n[+-9]\t;\n", 0, 0, "W Non-portable Character Class @2"},
        {"%%\n[+-9]\t;\n", 1, 0, "W Pouzite znaky z neprenositelnych znakovych tried @2"},
        {"%%\n\"ab\n", 0, 0, "W Non-terminated string @2"},
        {"%%\n\"ab\n", 1, 0, "W Neukonceny retazec @2"},
        {"%%\na\tx;\n  y;\n", 0, 0, "W Executable statements should occur right after %% @3"},
        {"%%\na\tx;\n  y;\n", 1, 0, "W Vykonavatelne prikazy by sa mali nachadzat vpravo za %% @3"},
        {"%%\na/b/c\t;\n", 0, 0, "W Extra slash removed @3"},
        {"%%\na/b/c\t;\n", 1, 0, "W Bolo odstraneny prebytocny znak 'lomitko' \"\\\" @3"},
        {"%%\na/b$\t;\n", 0, 0, "W Extra slash removed @3"},
        {"%%\na{0,0}\t;\n", 0, 0, "W Iteration range must be positive @2"},
        {"%%\na{0,0}\t;\n", 1, 0, "W Rozsah iteracie musi byt kladny @2"},
        {"%%\na\t{ x;\n", 0, 1, "E Action does not terminate @2"},
        {"%%\na\t{ x;\n", 1, 1, "E Akcia nebola ukoncena @2"},
        {"%%\na\tx\n", 0, 1, "E Premature EOF @-1"},
        {"%%\na\tx\n", 1, 1, "E Predcasny EOF @-1"},
        {"%%\na\t/* x\n\n", 0, 1, "E EOF inside comment @2"},
        {"%%\na\t/* x\n\n", 1, 1, "E EOF vo vnutri komentara @2"},
        {"%%\na\tx(\"ab\n);\n", 0, 1, "E Non-terminated string or character constant @2"},
        {"%%\na\tx(\"ab\n);\n", 1, 1, "E Neukonceny retazec alebo znakova konstanta @2"},
        {"%%\na\tx('\\", 0, 1, "E EOF in string or character constant @-1"},
        {"%%\na\tx('\\", 1, 1, "E EOF vo vnutri retazca alebo znakovej konstanty @-1"},
        {"%T 300\n%%\n", 0, 1, "E ch table needs redeclaration @1"},
        {"%T 300\n%%\n", 1, 1, "E ch tabukla vyzadfuje redeklaraciu @1"},
        {"%T\n1 a\n999 b\n%T\n%%\n", 0, 0, "W Character value 999 out of range @3"},
        {"%T\n1 a\n999 b\n%T\n%%\n", 1, 0, "W Znak s hodnotou 999 je mimo dovoleneho rozsahu @3"},
        {"%T\n1 a\n2 a\n%T\n%%\n", 0, 0, "W Character 'a' used twice @3"},
        {"%T\n1 a\n2 a\n%T\n%%\n", 1, 0, "W Znak 'a' bol pouzity dvakrat @3"},
        {"%T\n1 \\n\n2 \\n\n%T\n%%\n", 0, 0, "W Character 12 used twice @3"},
        {"%T\n1 \\n\n2 \\n\n%T\n%%\n", 1, 0, "W Znak 12 bol pouzity dvakrat @3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spec);
        TempDir dir;
        dir.write("x.l", c.spec);
        dir.write("skel", "\n");
        Capture s;
        EXPECT_EQ(duq_lex::lex_run(s, dir.path("skel"), dir.path("x.l"), dir.path("x.c"), c.slovak, 0, 1), c.status);
        std::string last;
        for (const std::string& l : s.lines)
            if (l[0] == 'E' || l[0] == 'W')
                last = l;
        EXPECT_EQ(last, c.want);
    }
}

TEST(Messages, SyntaxErrorDropsTheRuleAndReusesItsNumber)
{
    for (int slovak : {0, 1}) {
        Result r = generate("%%\na)\tone();\nb\ttwo();\n", slovak);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(std::count(r.messages.begin(), r.messages.end(), slovak ? "syntakticka chyba" : "syntax error"), 1);
        EXPECT_TRUE(r.errors.empty());
        // the dropped rule's case label is written again for the next rule
        EXPECT_NE(r.output.find("case 1:\none();\nbreak;\ncase 1:\ntwo();\nbreak;\n"), std::string::npos);
        Tables t = Tables::parse(r.output);
        EXPECT_EQ(t.longest("b").first, 1);
        EXPECT_EQ(t.longest("a").first, 0);
    }
}

TEST(Messages, ParserGivesUpWhenTheInputEndsDuringRecovery)
{
    Result r = generate("%%\na)b");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.messages, "syntax error"));
}

TEST(Messages, StdinNameGivesNoParsingLine)
{
    TempDir dir;
    dir.write("stdin", "%%\na\t;\n");
    dir.write("skel", "\n");
    ASSERT_EQ(chdir(dir.path("").c_str()), 0);
    Capture s;
    EXPECT_EQ(duq_lex::lex_run(s, "skel", "stdin", "x.c", 0, 0, 1), 0);
    ASSERT_EQ(chdir("/"), 0);
    for (const std::string& l : s.lines)
        EXPECT_EQ(l.find("Parsing"), std::string::npos);
}
