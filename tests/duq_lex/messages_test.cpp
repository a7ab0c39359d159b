// Progress lines, errors and warnings of DUQ-Lex in both languages.
#include "lex_harness.h"

#include "duq_lex/lex_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace lextest;

using vorktest::contains;

TEST(Messages, SuccessfulRunInBothLanguages)
{
    struct Case {
        int slovak, optimise;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {0, 1, {"Initialization... ", "Parsing input file \"x.l\"... ", "Computing tables... ", "Optimizing ",
                "Writing C source... ", "Analyzer written to  \"x.c\".", "Everything went OK! DUQ-lex done."}},
        {0, 0, {"Initialization... ", "Parsing input file \"x.l\"... ", "Computing tables... ", "Optimizing ",
                "Packing ", "Writing C source... ", "Analyzer written to  \"x.c\".",
                "Everything went OK! DUQ-lex done."}},
        {1, 1, {"Inicializacia... ", "Analyza vstupneho suboru \"x.l\"... ", "Vypocet prekladovych tabuliek... ",
                "Optimalizacia ", "Zapis generovanych suborov... ",
                "Lexikalny analyzator bol zapisany do suboru \"x.c\".", "Vsetko prebehlo v poriadku! Akcia ukoncena."}},
        {1, 0, {"Inicializacia... ", "Analyza vstupneho suboru \"x.l\"... ", "Vypocet prekladovych tabuliek... ",
                "Optimalizacia ", "Kompresia ", "Zapis generovanych suborov... ",
                "Lexikalny analyzator bol zapisany do suboru \"x.c\".", "Vsetko prebehlo v poriadku! Akcia ukoncena."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slovak * 2 + c.optimise);
        Result r = generate("%%\na\t;\n", c.slovak, 0, c.optimise);
        EXPECT_EQ(r.status, 0);
        ASSERT_FALSE(r.messages.empty());
        EXPECT_EQ(r.messages[0].rfind("DUQ-Lex  Version 1.00", 0), 0u);
        EXPECT_EQ(std::vector<std::string>(r.messages.begin() + 1, r.messages.end()), c.want);
    }
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
    EXPECT_EQ(std::vector<std::string>(ok.messages.end() - 7, ok.messages.end() - 1), want);

    // unoptimised: no packed-transitions line, and state 1 keeps its own
    // list: a at 99, then b at 100
    Result sk = generate("%%\nab\t;\n", 1, 1, 0);
    ASSERT_EQ(sk.status, 0);
    want = {"STATISTICKE INFORMACIE :", "4/1000 uzly(%e), 12/2500 pozicie(%p)", "4/500 (%n) stavy, 3 prenosy,",
            "0/1000 kompresovanych znakovych tried(%k),", "100/3000 vystupnych pozicii(%o)"};
    EXPECT_EQ(std::vector<std::string>(sk.messages.end() - 6, sk.messages.end() - 1), want);

    Result bad = generate("%%\na\t{ x;\n", 0, 1);
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.errors.size(), 1u);
    EXPECT_TRUE(contains(bad.messages, "STATISTICS:"));
}

TEST(Messages, FilesThatCannotBeUsed)
{
    TempDir dir;
    dir.write("x.l", "%%\na\t;\n");
    dir.write("stdin", "%%\na\t;\n");
    dir.write("skel", "\n");
    std::filesystem::create_directory(dir.path("sub"));
    struct Case {
        const char *skel, *spec, *out;
        int slovak, status;
        const char* want;  // the last error-list item, "" none
        bool parses;       // the run got as far as reading the specification
    };
    const Case cases[] = {
        // the missing skeleton is noticed before the specification is read
        {"none", "x.l", "x.c", 0, 1, "E Lex driver , file: none, not found  @0", false},
        {"none", "x.l", "x.c", 1, 1, "E Nemozno najst skeleton subor \"none\". @0", false},
        {"skel", "nospec.l", "x.c", 0, 1, "E Can't read input file: nospec.l @0", false},
        {"skel", "nospec.l", "x.c", 1, 1, "E Nemozno citat vstupny subor: nospec.l @0", false},
        {"skel", "x.l", "/dev/full", 0, 1, "E Can't open output file: /dev/full @-1", true},
        {"skel", "x.l", "no/dir.c", 1, 1, "E Nemozno otvorit vystupny subor: \"no/dir.c\" @2", true},
        // a directory opens, but it is no specification
        {"skel", "sub", "x.c", 0, 1, "E Can't read input file: sub @0", false},
        {"skel", "sub", "x.c", 1, 1, "E Nemozno citat vstupny subor: sub @0", false},
        // the name "stdin" is read like any other file, without a parsing line
        {"skel", "stdin", "x.c", 0, 0, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.skel) + " " + c.spec + " " + c.out);
        Result r = runIn(dir, c.skel, c.spec, c.out, c.slovak);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.errors.empty() ? "" : r.errors.back(), c.want);
        bool parsed = std::any_of(r.messages.begin(), r.messages.end(), [](const std::string& m) {
            return m.rfind("Parsing", 0) == 0 || m.rfind("Analyza", 0) == 0;
        });
        EXPECT_EQ(parsed, c.parses);
    }
}

// make takes a newer scanner for an up-to-date one, so a failed run removes
// the output it created or emptied, and nothing else.
TEST(Messages, AFailedRunRemovesOnlyTheOutputItOpened)
{
    TempDir dir;
    dir.write("x.l", "%%\na\t;\n");
    dir.write("action.l", "%%\na\t;\nb\t{ x;\n");
    dir.write("syntax.l", "%%\na)\t;\n");
    dir.write("states.l", "%n 3\n%%\na\t;\nb\t;\n");
    dir.write("skel", "/* skeleton */\n");
    std::filesystem::create_directory(dir.path("sub"));
    std::filesystem::create_symlink("real.c", dir.path("link.c"));
    struct Case {
        const char *skel, *spec, *out;
        bool kept;  // the earlier file named by out is still there, unchanged
    };
    const Case cases[] = {
        // failures after the output was opened
        {"skel", "action.l", "x.c", false},
        {"skel", "syntax.l", "x.c", false},
        {"skel", "states.l", "x.c", false},
        // failures before it was opened
        {"none", "x.l", "x.c", true},
        {"skel", "nospec.l", "x.c", true},
        {"skel", "sub", "x.c", true},
        // the output names the specification or the skeleton: neither is emptied
        {"skel", "x.l", "x.l", true},
        {"skel", "x.l", "skel", true},
        // written through a link: the link is not this run's to remove
        {"skel", "action.l", "link.c", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.skel) + " " + c.spec + " " + c.out);
        std::string before = c.out == std::string("x.c") ? "old scanner\n" : readFile(dir.path(c.out));
        if (c.out == std::string("x.c"))
            dir.write("x.c", before);
        if (c.out == std::string("link.c")) {
            before = "old scanner\n";
            dir.write("real.c", before);
        }
        Result r = runIn(dir, c.skel, c.spec, c.out);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.outputExists, c.kept);
        if (c.kept && c.out != std::string("link.c")) {
            EXPECT_EQ(r.output, before);
        }
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path("link.c")));
    // and a successful run keeps what it wrote
    Result ok = runIn(dir, "skel", "x.l", "x.c");
    EXPECT_EQ(ok.status, 0);
    EXPECT_NE(ok.output.find("/* skeleton */"), std::string::npos);
}

TEST(Messages, WarningsAndErrorsOfTheSpecification)
{
    struct Case {
        const char* spec;
        int status;
        const char *english, *slovak;  // the last error-list item
    };
    const Case cases[] = {
        {"%c\n%%\n", 0, "W Invalid request %c @1", "W Nedovolena poziadavka %c @1"},
        {"1D a\n%%\n", 0, "W Substitution strings may not begin with digits @1",
         "W Substitucne retazce nemozu zacinat cislicou @1"},
        {"D  \n%%\n", 0, "W No translation given - null string assumed @1",
         "W Nebol zadany ziadny preklad - berieme 'null' retazec @1"},
        {"%{\nint a;\n", 1, "E Premature EOF @-1", "E Predcasny znak EOF @-1"},
        {"%%\n{X}\t;\n", 1, "E Definition X not found @2", "E Definicia X neexistuje @2"},
        {"%%\n<Q>a\t;\n", 0, "W Undefined start condition Q @2", "W Nebola definovana podmienka 'start' Q @2"},
        {"%%\n[+-9]\t;\n", 0, "W Non-portable Character Class @2",
         "W Pouzite znaky z neprenositelnych znakovych tried @2"},
        {"%%\n\"ab\n", 0, "W Non-terminated string @2", "W Neukonceny retazec @2"},
        {"%%\na\tx;\n  y;\n", 0, "W Executable statements should occur right after %% @3",
         "W Vykonavatelne prikazy by sa mali nachadzat vpravo za %% @3"},
        {"%%\na/b/c\t;\n", 0, "W Extra slash removed @3",
         "W Bolo odstraneny prebytocny znak 'lomitko' \"\\\" @3"},
        {"%%\na/b$\t;\n", 0, "W Extra slash removed @3", "W Bolo odstraneny prebytocny znak 'lomitko' \"\\\" @3"},
        {"%%\na{0,0}\t;\n", 0, "W Iteration range must be positive @2", "W Rozsah iteracie musi byt kladny @2"},
        {"%%\na\t{ x;\n", 1, "E Action does not terminate @2", "E Akcia nebola ukoncena @2"},
        {"%%\na\t/* x\n\n", 1, "E EOF inside comment @2", "E EOF vo vnutri komentara @2"},
        {"%%\na\tx(\"ab\n);\n", 1, "E Non-terminated string or character constant @2",
         "E Neukonceny retazec alebo znakova konstanta @2"},
        {"%%\na\tx('\\", 1, "E EOF in string or character constant @-1",
         "E EOF vo vnutri retazca alebo znakovej konstanty @-1"},
        {"%T 300\n%%\n", 1, "E ch table needs redeclaration @1", "E ch tabukla vyzadfuje redeklaraciu @1"},
        {"%T\n1 a\n999 b\n%T\n%%\n", 0, "W Character value 999 out of range @3",
         "W Znak s hodnotou 999 je mimo dovoleneho rozsahu @3"},
        {"%T\n1 a\n2 a\n%T\n%%\n", 0, "W Character 'a' used twice @3", "W Znak 'a' bol pouzity dvakrat @3"},
        {"%T\n1 \\n\n2 \\n\n%T\n%%\n", 0, "W Character 12 used twice @3", "W Znak 12 bol pouzity dvakrat @3"},
    };
    for (const Case& c : cases) {
        for (int slovak : {0, 1}) {
            SCOPED_TRACE(std::string(c.spec) + (slovak ? " (sk)" : " (en)"));
            Result r = generate(c.spec, slovak);
            EXPECT_EQ(r.status, c.status);
            ASSERT_FALSE(r.errors.empty());
            EXPECT_EQ(r.errors.back(), slovak ? c.slovak : c.english);
        }
    }
}

// A syntax error is an error item with its line; the parser recovers, so
// one run reports the errors of the whole specification, and the run fails
// without the success lines and without leaving a scanner behind.
TEST(Messages, SyntaxErrorsAreErrorItemsAndFailTheRun)
{
    struct Case {
        const char* spec;
        std::vector<int> lines;  // one "syntax error" item per line
    };
    const Case cases[] = {
        {"%%\na)\tone();\nb\ttwo();\n", {2}},
        // recovered after the first rule, the next bad rule is reported too
        {"%%\na)\tone();\nb\ttwo();\nc(\tthree();\nd\t;\n", {2, 4}},
        // an unclosed group is noticed at the end of its line
        {"%%\nab(\n", {2}},
        // where a rule should begin: the rest yields no rules
        {"%%\na\t;\n*b\t;\nc)\t;\n", {3}},
        // the definitions never end
        {"D x\n", {-1}},
        // the input ends while the parser recovers
        {"%%\na)b", {2}},
    };
    for (const Case& c : cases) {
        for (int slovak : {0, 1}) {
            SCOPED_TRACE(std::string(c.spec) + (slovak ? " (sk)" : " (en)"));
            Result r = generate(c.spec, slovak, 1);
            EXPECT_EQ(r.status, 1);
            std::vector<std::string> want;
            for (int line : c.lines)
                want.push_back(std::string(slovak ? "E syntakticka chyba @" : "E syntax error @") + std::to_string(line));
            EXPECT_EQ(r.errors, want);
            EXPECT_FALSE(r.outputExists);
            ASSERT_FALSE(r.messages.empty());
            EXPECT_TRUE(contains(r.messages, slovak ? "STATISTICKE INFORMACIE :" : "STATISTICS:"));
            for (const std::string& m : r.messages) {
                EXPECT_EQ(m.find("written"), std::string::npos) << m;
                EXPECT_EQ(m.find("zapisany"), std::string::npos) << m;
                EXPECT_EQ(m.find("Everything went OK"), std::string::npos) << m;
                EXPECT_EQ(m.find("Vsetko prebehlo"), std::string::npos) << m;
            }
        }
    }
}

namespace {
// Answers "stop" from the n-th question on (counted from 1), 0 never.
class StoppingCapture : public Capture {
public:
    explicit StoppingCapture(int stopAt) : stopAt_(stopAt) {}
    bool stopRequested() const override
    {
        ++asked;
        return stopAt_ > 0 && asked >= stopAt_;
    }
    mutable int asked = 0;

private:
    int stopAt_;
};
} // namespace

// A run asked to stop ends as a failure at its next check (building the
// states or packing them), reports no error, and leaves no scanner behind,
// not even over an older one; a run never asked writes it.
TEST(Messages, AStopEndsTheRunWithoutOutput)
{
    TempDir dir;
    std::string spec = "%%\n";
    for (const char* word : {"if", "else", "while", "for", "return", "int", "char", "struct", "switch", "case"})
        spec += std::string(word) + "\t{ return 1; }\n";
    spec += "[a-z][a-z0-9_]*\t{ return 2; }\n[0-9]+\t{ return 3; }\n";
    dir.write("x.l", spec);
    dir.write("skel", "/* skeleton */\n");
    auto run = [&](StoppingCapture& sinks) {
        vorktest::CurrentDir cwd(dir.path(""));
        return duq_lex::lex_run(sinks, "skel", "x.l", "x.c", 0, 0, 1);
    };
    StoppingCapture counting(0);
    ASSERT_EQ(run(counting), 0);
    const int total = counting.asked;
    ASSERT_GT(total, 20) << "the run checks at its loop points";

    for (int stopAt : {1, 2, total / 2, total - 1, total}) {
        SCOPED_TRACE("stop at question " + std::to_string(stopAt) + " of " + std::to_string(total));
        dir.write("x.c", "an older scanner\n");
        StoppingCapture sinks(stopAt);
        EXPECT_EQ(run(sinks), 1);
        EXPECT_EQ(sinks.asked, stopAt) << "the run ends at the first yes";
        EXPECT_TRUE(sinks.errors.empty()) << sinks.errors.front();
        EXPECT_FALSE(std::filesystem::exists(dir.path("x.c")));
    }
}
