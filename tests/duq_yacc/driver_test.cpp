// The run as a whole: progress lines, the conflict summary, the files it
// opens, creates and deletes, and independence of successive runs.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace yacctest;

namespace {

const char kDanglingElse[] = "%token IF ELSE X\n%%\ns : IF s | IF s ELSE s | X ;\n";

std::vector<std::string> withoutBanner(const std::vector<std::string>& m)
{
    return m.empty() ? m : std::vector<std::string>(m.begin() + 1, m.end());
}

} // namespace

TEST(Run, ProgressLinesInBothLanguages)
{
    struct Case {
        int slovak;
        int debug;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {0, 0,
         {"Initialization... ", "Reading the specification... ", "Making tables... ", "Generating states... ",
          "Writing tables and states... ", "Parser was written to \"g.cpp\".", "Everything went OK! DUQ-yacc done."}},
        {1, 0,
         {"Inicializacia... ", "Analyza specifikacneho suboru... ", "Vypocet tabuliek... ", "Generovanie stavov ... ",
          "Zapis tabuliek a stavov do suboru... ", "Syntakticky analyzator bol zapisany do \"g.cpp\".",
          "Vsetko prebehlo v poriadku! Akcia ukoncena."}},
        {0, 1,
         {"Initialization... ", "Reading the specification... ", "Making tables... ", "Generating states... ",
          "Writing tables and states... ", "Parser was written to \"g.cpp\".", "Info file was written to \"g.lex\".",
          "Everything went OK! DUQ-yacc done."}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        Options opt;
        opt.slovak = c.slovak;
        opt.debug = c.debug;
        Generation g = generate("%%\ns : 'a' ;\n", opt);
        ASSERT_EQ(g.status, 0);
        ASSERT_FALSE(g.sinks.messages.empty());
        EXPECT_EQ(g.sinks.messages[0].rfind("DUQ-yacc  Version 1.00", 0), 0u);
        EXPECT_EQ(withoutBanner(g.sinks.messages), c.want);
        EXPECT_FALSE(exists("yacc.tmp"));
        EXPECT_FALSE(exists("yacc.act"));
    }
}

TEST(Run, ConflictSummary)
{
    struct Case {
        const char* name;
        const char* grammar;
        int slovak;
        std::vector<std::string> between;  // lines after "Writing tables..." and before the result
    };
    const Case cases[] = {
        {"dangling else", kDanglingElse, 0, {"conflicts: ", "1 shift/reduce"}},
        {"dangling else in Slovak", kDanglingElse, 1, {"Konflikty: ", "1 posun/redukcia"}},
        {"expressions without precedence", "%token N\n%%\ne : e '+' e | e '*' e | N ;\n", 0,
         {"conflicts: ", "4 shift/reduce"}},
        {"expressions with precedence", "%token N\n%left '+'\n%left '*'\n%%\ne : e '+' e | e '*' e | N ;\n", 0, {}},
        // Needs LALR(1) lookaheads: with FOLLOW sets alone, '=' would
        // conflict after L.
        {"assignment grammar that is LALR(1) but not SLR(1)",
         "%%\ns : l '=' r | r ;\nl : '*' r | 'i' ;\nr : l ;\n", 0, {}},
        // Canonical LR(1) keeps the two 'c' states apart; merging them
        // yields conflicts on 'd' and 'e', both won by A.
        {"grammar that is LR(1) but not LALR(1)",
         "%%\ns : 'a' a 'd' | 'b' b 'd' | 'a' b 'e' | 'b' a 'e' ;\na : 'c' ;\nb : 'c' ;\n", 0,
         {"1 rules never reduced", "conflicts: ", "2 reduce/reduce"}},
        {"two rules reducing on the same token", "%%\ns : a 'x' | b 'x' ;\na : 'z' ;\nb : 'z' ;\n", 0,
         {"1 rules never reduced", "conflicts: ", "1 reduce/reduce"}},
        {"the same in Slovak", "%%\ns : a 'x' | b 'x' ;\na : 'z' ;\nb : 'z' ;\n", 1,
         {"1 pravidlo sa nikdy neredukuje", "Konflikty: ", "1 redukcia/redukcia"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Options opt;
        opt.slovak = c.slovak;
        Generation g = generate(c.grammar, opt);
        EXPECT_EQ(g.status, 0);
        EXPECT_TRUE(g.sinks.errors.empty());
        EXPECT_NE(g.output.find("SKELETON["), std::string::npos);  // conflicts still give a parser
        const auto& m = g.sinks.messages;
        ASSERT_GE(m.size(), 8u);
        EXPECT_EQ(std::vector<std::string>(m.begin() + 6, m.end() - 2), c.between);
    }
}

TEST(Run, FilesThatCannotBeOpened)
{
    struct Case {
        const char* name;
        const char* grammar;
        const char* output;
        const char* tokens;  // debug build when not null
        bool tempDirInTheWay;
        const char* english;
        const char* slovak;
    };
    const Case cases[] = {
        {"grammar missing", "missing.y", "g.cpp", nullptr, false, "cannot open input file", "nemozno otvorit vstupny subor"},
        {"output directory missing", "g.y", "nodir/g.cpp", nullptr, false, "cannot open output ( table ) file",
         "nemozno otvorit vystupny subor \"nodir/g.cpp\""},
        {"token file directory missing", "g.y", "g.cpp", "nodir/g.lex", false, "cannot open nodir/g.lex",
         "nemozno otvorit subor \"nodir/g.lex\""},
        {"temporary file blocked", "g.y", "g.cpp", nullptr, true, "cannot open temp file",
         "nemozno otvorit docasny pracovny subor"},
    };
    for (const Case& c : cases) {
        for (int slovak = 0; slovak < 2; ++slovak) {
            SCOPED_TRACE(c.name);
            TempDir dir;
            writeFile("g.y", "%%\ns : 'a' ;\n");
            writeFile("skel", "$A");
            if (c.tempDirInTheWay) {
                ASSERT_EQ(mkdir("yacc.act", 0755), 0);
            }
            RecordingSinks sinks;
            int count = -1;
            const int status = duq_yacc::yacc_run(sinks, "skel", c.grammar, c.output, c.tokens ? 1 : 0, &count, slovak,
                                                  c.tokens ? c.tokens : "", "");
            EXPECT_EQ(status, 1);
            EXPECT_EQ(count, 0);
            ASSERT_EQ(sinks.errors.size(), 1u);
            EXPECT_EQ(sinks.errors[0].text, slovak ? c.slovak : c.english);
            EXPECT_EQ(sinks.errors[0].line, 1);
            EXPECT_FALSE(exists(c.output));  // created empty, then deleted
            EXPECT_FALSE(exists("yacc.tmp"));
        }
    }
}

TEST(Run, TokenFileOnlyInDebugBuilds)
{
    TempDir dir;
    writeFile("g.y", "%%\ns : 'a' ;\n");
    writeFile("skel", "$A");
    RecordingSinks sinks;
    int count = -1;
    ASSERT_EQ(duq_yacc::yacc_run(sinks, "skel", "g.y", "g.cpp", 0, &count, 0, "t.lex", "t.stv"), 0);
    EXPECT_FALSE(exists("t.lex"));
    EXPECT_FALSE(exists("t.stv"));
    EXPECT_EQ(count, 0);
    // A grammar without named tokens still gets its (empty) token file.
    ASSERT_EQ(duq_yacc::yacc_run(sinks, "skel", "g.y", "g.cpp", 1, &count, 0, "t.lex", "t.stv"), 0);
    EXPECT_TRUE(exists("t.lex"));
    EXPECT_EQ(readFile("t.lex"), "");
    EXPECT_EQ(count, 0);
}

TEST(Run, TemporaryFilesLiveInTheCurrentDirectory)
{
    TempDir dir;
    ASSERT_EQ(mkdir("in", 0755), 0);
    ASSERT_EQ(mkdir("out", 0755), 0);
    writeFile("in/g.y", "%%\ns : 'a' { f(); } ;\n");
    writeFile("in/yacc.act", "not the action file");
    writeFile("skel", "[$A]");
    ASSERT_EQ(mkdir("yacc.tmp", 0755), 0);  // blocks the current directory only
    RecordingSinks sinks;
    EXPECT_EQ(duq_yacc::yacc_run(sinks, "skel", "in/g.y", "out/g.cpp", 0, nullptr, 0, "", ""), 1);
    ASSERT_EQ(sinks.errors.size(), 1u);
    EXPECT_EQ(sinks.errors[0].text, "cannot open temp file");
    EXPECT_EQ(readFile("in/yacc.act"), "not the action file");

    std::filesystem::remove_all("yacc.tmp");
    RecordingSinks again;
    EXPECT_EQ(duq_yacc::yacc_run(again, "skel", "in/g.y", "out/g.cpp", 0, nullptr, 0, "", ""), 0);
    EXPECT_NE(readFile("out/g.cpp").find("[\ncase 1:\n# line 2 \"in/g.y\"\n{ f(); } break;]"), std::string::npos);
    EXPECT_EQ(readFile("in/yacc.act"), "not the action file");
}

TEST(Run, SuccessiveRunsAreIndependent)
{
    // A failing run, a large one and a small one in one process: each
    // result equals a run on its own.
    const std::string big = "%token N\n%left '+' '-'\n%left '*'\n%%\ne : e '+' e | e '-' e | e '*' e | '(' e ')' | N ;\n";
    const std::string small = "%%\ns : 'a' s | ;\n";
    auto body = [](const std::string& out) { return out.substr(out.find("----- */")); };
    std::string alone;
    {
        TempDir dir;
        Generation g = generate(small);
        ASSERT_EQ(g.status, 0);
        alone = body(g.output);
    }
    TempDir dir;
    EXPECT_EQ(generate("%%\ns : a ;\n").status, 1);
    EXPECT_EQ(generate(big).status, 0);
    Generation g = generate(small);
    ASSERT_EQ(g.status, 0);
    EXPECT_EQ(body(g.output), alone);
    EXPECT_TRUE(g.sinks.errors.empty());
}

TEST(Run, SkeletonDollarsOtherThanTheMarkStay)
{
    TempDir dir;
    Options opt;
    opt.skeleton = "a$$Ab$xc$A$";
    Generation g = generate("%%\ns : 'a' { f(); } ;\n", opt);
    ASSERT_EQ(g.status, 0);
    const std::string tail = g.output.substr(g.output.rfind(" };\n") + 4);
    EXPECT_EQ(tail, "a$$Ab$xc\ncase 1:\n# line 2 \"g.y\"\n{ f(); } break;$");
}

TEST(Run, TheGrammarIsNeverOverwritten)
{
    struct Case {
        const char* name;
        const char* grammar;
        const char* output;
        const char* tokens;  // debug build when not null
        const char* error;
    };
    const Case cases[] = {
        {"output named like the grammar", "g.y", "./g.y", nullptr, "cannot open output ( table ) file"},
        {"token file named like the grammar", "g.y", "g.cpp", "g.y", "cannot open g.y"},
        {"grammar called like the action file", "yacc.act", "g.cpp", nullptr, "cannot open temp file"},
        {"grammar called like the table file", "yacc.tmp", "g.cpp", nullptr, "cannot open temp file"},
    };
    const std::string grammar = "%%\ns : 'a' ;\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFile(c.grammar, grammar);
        writeFile("skel", "$A");
        RecordingSinks sinks;
        EXPECT_EQ(duq_yacc::yacc_run(sinks, "skel", c.grammar, c.output, c.tokens ? 1 : 0, nullptr, 0,
                                     c.tokens ? c.tokens : "", ""),
                  1);
        ASSERT_EQ(sinks.errors.size(), 1u);
        EXPECT_EQ(sinks.errors[0].text, c.error);
        EXPECT_EQ(readFile(c.grammar), grammar);
    }
}

TEST(Run, SkeletonThatIsTheOutputItselfEnds)
{
    TempDir dir;
    writeFile("g.y", "%%\ns : 'a' ;\n");
    RecordingSinks sinks;
    EXPECT_EQ(duq_yacc::yacc_run(sinks, "g.cpp", "g.y", "g.cpp", 0, nullptr, 0, "", ""), 0);
    // The tables, then the tables once more as the "skeleton".
    const std::string out = readFile("g.cpp");
    const size_t first = out.find("short yydef");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(out.find("short yydef", first + 1), std::string::npos);
}
