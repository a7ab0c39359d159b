// The run as a whole: progress lines, the conflict summary, the files it
// opens, creates and deletes.
#include "yacc_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

using namespace yacctest;

TEST(Run, ProgressLinesInBothLanguages)
{
    const std::vector<std::string> cases[] = {
        {"Initialization... ", "Reading the specification... ", "Making tables... ", "Generating states... ",
         "Writing tables and states... ", "Parser was written to \"g.cpp\".", "Everything went OK! DUQ-yacc done."},
        {"Inicializacia... ", "Analyza specifikacneho suboru... ", "Vypocet tabuliek... ", "Generovanie stavov ... ",
         "Zapis tabuliek a stavov do suboru... ", "Syntakticky analyzator bol zapisany do \"g.cpp\".",
         "Vsetko prebehlo v poriadku! Akcia ukoncena."},
    };
    for (int slovak = 0; slovak < 2; ++slovak) {
        TempDir dir;
        const Generation g = generate("%%\ns : 'a' ;\n", slovak);
        ASSERT_EQ(g.status, 0);
        const auto& m = g.sinks.messages;
        ASSERT_FALSE(m.empty());
        EXPECT_EQ(m[0].rfind("DUQ-yacc  Version 1.00", 0), 0u);
        EXPECT_EQ(std::vector<std::string>(m.begin() + 1, m.end()), cases[slovak]);
        EXPECT_EQ(vorktest::namesStartingWith(".", "yacc"), std::vector<std::string>{});
    }
}

TEST(Run, ConflictSummary)
{
    const char* danglingElse = "%token IF ELSE X\n%%\ns : IF s | IF s ELSE s | X ;\n";
    const char* twoReductions = "%%\ns : a 'x' | b 'x' ;\na : 'z' ;\nb : 'z' ;\n";
    struct Case {
        const char* name;
        const char* grammar;
        int slovak;
        std::vector<std::string> between;  // lines after "Writing tables..." and before the result
    };
    const Case cases[] = {
        {"dangling else", danglingElse, 0, {"conflicts: ", "1 shift/reduce"}},
        {"dangling else in Slovak", danglingElse, 1, {"Konflikty: ", "1 posun/redukcia"}},
        {"expressions without precedence", "%token N\n%%\ne : e '+' e | e '*' e | N ;\n", 0,
         {"conflicts: ", "4 shift/reduce"}},
        {"expressions with precedence", "%token N\n%left '+'\n%left '*'\n%%\ne : e '+' e | e '*' e | N ;\n", 0, {}},
        // Needs LALR(1) lookaheads: with FOLLOW sets alone, '=' would
        // conflict after l.
        {"assignment grammar that is LALR(1) but not SLR(1)", "%%\ns : l '=' r | r ;\nl : '*' r | 'i' ;\nr : l ;\n", 0,
         {}},
        // Canonical LR(1) keeps the two 'c' states apart; merging them
        // yields conflicts on 'd' and 'e', both won by a.
        {"grammar that is LR(1) but not LALR(1)",
         "%%\ns : 'a' a 'd' | 'b' b 'd' | 'a' b 'e' | 'b' a 'e' ;\na : 'c' ;\nb : 'c' ;\n", 0,
         {"1 rules never reduced", "conflicts: ", "2 reduce/reduce"}},
        {"two rules reducing on the same token", twoReductions, 0,
         {"1 rules never reduced", "conflicts: ", "1 reduce/reduce"}},
        {"the same in Slovak", twoReductions, 1, {"1 pravidlo sa nikdy neredukuje", "Konflikty: ", "1 redukcia/redukcia"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const Generation g = generate(c.grammar, c.slovak);
        EXPECT_EQ(g.status, 0);
        EXPECT_TRUE(g.sinks.errors.empty());
        EXPECT_NE(g.output.find("SKELETON["), std::string::npos);  // conflicts still give a parser
        // Each reported conflict follows the summary with its own lines
        // (head, then indented details); the summary itself is unchanged.
        std::vector<std::string> m;
        for (const std::string& line : g.sinks.messages)
            if (line.rfind("conflict in state ", 0) != 0 && line.rfind("konflikt v stave ", 0) != 0 &&
                line.rfind("    ", 0) != 0)
                m.push_back(line);
        ASSERT_GE(m.size(), 8u);
        EXPECT_EQ(std::vector<std::string>(m.begin() + 6, m.end() - 2), c.between);
    }
}

TEST(Run, FilesThatCannotBeUsedEndTheRunAndTouchNothing)
{
    struct Case {
        const char* name;
        const char* grammar;
        const char* output;
        const char* tokens;    // debug build when not null
        const char* skeleton;  // null: no skeleton file
        const char* blocker;   // a directory made where a file is wanted
        int line;
        const char* english;
        const char* slovak;
    };
    const Case cases[] = {
        {"grammar missing", "missing.y", "g.cpp", nullptr, "$A", nullptr, 1, "cannot open input file",
         "nemozno otvorit vstupny subor"},
        {"output directory missing", "g.y", "nodir/g.cpp", nullptr, "$A", nullptr, 1, "cannot open output ( table ) file",
         "nemozno otvorit vystupny subor \"nodir/g.cpp\""},
        {"token file directory missing", "g.y", "g.cpp", "nodir/g.lex", "$A", nullptr, 1, "cannot open nodir/g.lex",
         "nemozno otvorit subor \"nodir/g.lex\""},
        {"skeleton missing", "g.y", "g.cpp", nullptr, nullptr, nullptr, 3, "cannot find parser skeleton file \"skel\"",
         "nemozno najst skeleton subor \"skel\""},
        // The action file is gone after the first splice.
        {"two splice marks", "g.y", "g.cpp", nullptr, "$A and $A", nullptr, 3, "cannot reopen action tempfile",
         "nemozno opatovne otvorit pracovny subor 'action'"},
        // The grammar itself is never overwritten.
        {"output named like the grammar", "g.y", "./g.y", nullptr, "$A", nullptr, 1, "cannot open output ( table ) file",
         "nemozno otvorit vystupny subor \"./g.y\""},
        {"token file named like the grammar", "g.y", "g.cpp", "g.y", "$A", nullptr, 1, "cannot open g.y",
         "nemozno otvorit subor \"g.y\""},
        {"output named like the skeleton", "g.y", "skel", nullptr, "$A", nullptr, 1, "cannot open output ( table ) file",
         "nemozno otvorit vystupny subor \"skel\""},
        {"token file named like the output", "g.y", "g.cpp", "./g.cpp", "$A", nullptr, 1, "cannot open ./g.cpp",
         "nemozno otvorit subor \"./g.cpp\""},
    };
    const std::string grammar = "%%\ns : 'a' { x(); } ;\n";
    for (const Case& c : cases) {
        for (int slovak = 0; slovak < 2; ++slovak) {
            SCOPED_TRACE(std::string(c.name) + (slovak ? " (Slovak)" : ""));
            TempDir dir;
            if (std::string(c.grammar) != "missing.y")
                writeFile(c.grammar, grammar);
            if (c.skeleton)
                writeFile("skel", c.skeleton);
            if (c.blocker) {
                ASSERT_EQ(mkdir(c.blocker, 0755), 0);
            }
            RecordingSinks sinks;
            int count = -1;
            EXPECT_EQ(duq_yacc::yacc_run(sinks, "skel", c.grammar, c.output, c.tokens ? 1 : 0, &count, slovak,
                                         c.tokens ? c.tokens : "", ""),
                      1);
            EXPECT_EQ(count, 0);
            ASSERT_EQ(sinks.errors.size(), 1u);
            EXPECT_EQ(sinks.errors[0].text, slovak ? c.slovak : c.english);
            EXPECT_EQ(sinks.errors[0].line, c.line);
            if (c.output == std::string("./g.y"))
                EXPECT_EQ(readFile(c.output), grammar);
            else if (c.output == std::string("skel"))
                EXPECT_EQ(readFile(c.output), c.skeleton);
            else
                EXPECT_FALSE(exists(c.output)) << c.output;  // created empty, then deleted
            EXPECT_EQ(vorktest::namesStartingWith(".", "yacc"), std::vector<std::string>{});
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
    EXPECT_TRUE(exists("t.stv"));  // the state listing does not depend on the debug build
    EXPECT_EQ(count, 0);
    // A grammar without named tokens still gets its (empty) token file.
    ASSERT_EQ(duq_yacc::yacc_run(sinks, "skel", "g.y", "g.cpp", 1, &count, 0, "t.lex", "t.stv"), 0);
    EXPECT_EQ(readFile("t.lex"), "");
    EXPECT_TRUE(exists("t.lex"));
    EXPECT_EQ(count, 0);
}

TEST(Run, TemporaryFilesLiveInTheCurrentDirectory)
{
    TempDir dir;
    const std::string top = std::filesystem::current_path().string();
    ASSERT_EQ(mkdir("in", 0755), 0);
    ASSERT_EQ(mkdir("out", 0755), 0);
    writeFile("in/g.y", "%%\ns : 'a' { f(); } ;\n");
    writeFile("in/yacc.act", "not the action file");
    writeFile("skel", "[$A]");
    // Nothing can be created in a removed current directory, while the
    // grammar, the output and the skeleton are elsewhere.
    ASSERT_EQ(mkdir("gone", 0755), 0);
    ASSERT_EQ(chdir("gone"), 0);
    ASSERT_EQ(rmdir((top + "/gone").c_str()), 0);
    RecordingSinks sinks;
    EXPECT_EQ(duq_yacc::yacc_run(sinks, top + "/skel", top + "/in/g.y", top + "/out/g.cpp", 0, nullptr, 0, "", ""), 1);
    EXPECT_EQ(sinks.texts(), std::vector<std::string>{"cannot open temp file"});
    EXPECT_FALSE(exists(top + "/out/g.cpp"));

    ASSERT_EQ(chdir(top.c_str()), 0);
    EXPECT_EQ(duq_yacc::yacc_run(sinks, "skel", "in/g.y", "out/g.cpp", 0, nullptr, 0, "", ""), 0);
    EXPECT_NE(readFile("out/g.cpp").find("[\ncase 1:\n# line 2 \"in/g.y\"\n{ f(); } break;\n#line 58 \"out/g.cpp\"\n]"), std::string::npos);
    EXPECT_EQ(readFile("in/yacc.act"), "not the action file");
    EXPECT_EQ(vorktest::namesStartingWith(".", "yacc"), std::vector<std::string>{});
}

TEST(Run, SkeletonDollarsOtherThanTheMarkStay)
{
    TempDir dir;
    Options opt;
    opt.skeleton = "a$$Ab$xc$A$";
    const Generation g = generate("%%\ns : 'a' { f(); } ;\n", opt);
    ASSERT_EQ(g.status, 0);
    EXPECT_EQ(g.output.substr(g.output.rfind(" };\n") + 4), "a$$Ab$xc\ncase 1:\n# line 2 \"g.y\"\n{ f(); } break;\n#line 58 \"g.cpp\"\n$");
}

TEST(Run, SkeletonThatIsTheOutputItselfIsRefused)
{
    // Once the parser copied its own tables as the "skeleton"; a skeleton
    // of the user's would have been emptied first.
    TempDir dir;
    writeFile("g.y", "%%\ns : 'a' ;\n");
    RecordingSinks sinks;
    EXPECT_EQ(duq_yacc::yacc_run(sinks, "g.cpp", "g.y", "g.cpp", 0, nullptr, 0, "", ""), 1);
    EXPECT_EQ(sinks.texts(), std::vector<std::string>{"cannot open output ( table ) file"});
    EXPECT_FALSE(exists("g.cpp"));
}

TEST(Run, FailedRunRemovesOnlyTheFilesItMade)
{
    // Files lying there before the run, with the user's text in them.
    // A user's files called like the old fixed work files are no run's.
    const std::vector<std::string> before = {"g.cpp", "g.lex", "yacc.tmp", "yacc.act", "other.c"};
    struct Case {
        const char* name;
        const char* grammar;  // null: no grammar file
        const char* output;
        const char* tokens;   // debug build when not null
        const char* error;
        std::vector<std::string> removed;  // of `before`: the files the run truncated
    };
    const Case cases[] = {
        // Nothing is created before the grammar is open.
        {"grammar missing", nullptr, "g.cpp", "g.lex", "cannot open input file", {}},
        // The grammar checks used to leave a partial parser behind, newer
        // than the grammar.
        {"grammar checks", "%%\ns : a ;\n", "g.cpp", "g.lex", "nonterminal \"a\" not defined!",
         {"g.cpp", "g.lex"}},
        {"fatal error while reading", "%%\ns : 'a' { x;\n", "g.cpp", nullptr, "action does not terminate",
         {"g.cpp"}},
        {"token file cannot be opened", "%%\ns : 'a' ;\n", "g.cpp", "nodir/g.lex", "cannot open nodir/g.lex", {}},
        {"output cannot be opened", "%%\ns : 'a' ;\n", "nodir/g.cpp", "g.lex", "cannot open output ( table ) file",
         {"g.lex"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        for (const std::string& f : before)
            writeFile(f, "user's " + f);
        if (c.grammar)
            writeFile("g.y", c.grammar);
        writeFile("skel", "$A");
        RecordingSinks sinks;
        EXPECT_EQ(duq_yacc::yacc_run(sinks, "skel", "g.y", c.output, c.tokens ? 1 : 0, nullptr, 0,
                                     c.tokens ? c.tokens : "", ""),
                  1);
        ASSERT_FALSE(sinks.errors.empty());
        EXPECT_EQ(sinks.errors[0].text, c.error);
        for (const std::string& f : before) {
            const bool made = std::find(c.removed.begin(), c.removed.end(), f) != c.removed.end();
            if (made)
                EXPECT_FALSE(exists(f)) << f;
            else
                EXPECT_EQ(readFile(f), "user's " + f) << f;
        }
        EXPECT_EQ(vorktest::namesStartingWith(".", "yacc-"), std::vector<std::string>{});
    }
}

namespace {
// Answers "stop" from the n-th question on (counted from 1); counts them.
class StoppingSinks : public RecordingSinks {
public:
    explicit StoppingSinks(int stopAt) : stopAt_(stopAt) {}
    bool stopRequested() const override
    {
        ++asked;
        return stopAt_ > 0 && asked >= stopAt_;
    }
    mutable int asked = 0;

private:
    int stopAt_;
};

// 21 binary operators without precedence: many states, 441 conflicts.
std::string operatorGrammar()
{
    std::string y = "%token NUM\n%%\ne : NUM\n";
    for (char op : std::string("+-*/%^&|<>=!~@#$:?,.;"))
        y += std::string("  | e '") + op + "' e\n";
    return y + "  ;\n";
}
} // namespace

// A run asked to stop ends as a failure at the next of its checks, wherever
// that is (building states, deciding actions, packing, explaining
// conflicts), with no error reported and none of its files left; a run
// never asked goes through.
TEST(Run, AStopEndsTheRunAndRemovesItsFiles)
{
    TempDir dir;
    writeFile("skel", "SKELETON[$A]\n");
    writeFile("g.y", operatorGrammar());
    // How many questions a whole run asks: the stop points lie between.
    StoppingSinks counting(0);
    ASSERT_EQ(duq_yacc::yacc_run(counting, "skel", "g.y", "g.cpp", 1, nullptr, 0, "g.lex", "g.stv", 0, 0.02), 0);
    const int total = counting.asked;
    ASSERT_GT(total, 40) << "the run checks at its loop points";
    std::remove("g.cpp");
    std::remove("g.lex");
    std::remove("g.stv");

    for (int stopAt : {1, 2, total / 4, total / 2, total - 20, total - 1, total}) {
        SCOPED_TRACE("stop at question " + std::to_string(stopAt) + " of " + std::to_string(total));
        StoppingSinks sinks(stopAt);
        const int status =
            duq_yacc::yacc_run(sinks, "skel", "g.y", "g.cpp", 1, nullptr, 0, "g.lex", "g.stv", 0, 0.02);
        EXPECT_EQ(status, 1);
        EXPECT_EQ(sinks.asked, stopAt) << "the run ends at the first yes";
        EXPECT_TRUE(sinks.errors.empty()) << sinks.texts().front();
        for (const char* f : {"g.cpp", "g.lex", "g.stv", "yacc.tmp", "yacc.act"})
            EXPECT_FALSE(exists(f)) << f;
        EXPECT_TRUE(exists("g.y"));
        EXPECT_EQ(std::count(sinks.messages.begin(), sinks.messages.end(), "Everything went OK! DUQ-yacc done."), 0);
    }
}

// The fast mode writes the same tables and, instead of the skeleton's text,
// its own yyparse; a debug build keeps the skeleton.
TEST(Run, FastModeKeepsTheTablesAndReplacesTheSkeleton)
{
    const char* grammar = "%token N\n%left '+'\n%%\ne : e '+' e { $$ = $1 + $3; } | N | error ;\n%%\nint user;\n";
    struct Case {
        const char* name;
        int debug;
        bool skeleton;  // the skeleton's text is in the parser
    };
    const Case cases[] = {{"fast", 0, false}, {"fast and debug", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Options opt;
        opt.debug = c.debug;
        const Generation plain = generate(grammar, opt);
        opt.fast = 1;
        const Generation fast = generate(grammar, opt);
        ASSERT_EQ(plain.status, 0);
        ASSERT_EQ(fast.status, 0);
        const std::string tables = body(plain.output).substr(0, body(plain.output).find("SKELETON["));
        EXPECT_NE(tables.find("short yydef[]"), std::string::npos);
        EXPECT_EQ(body(fast.output).substr(0, tables.size()), tables);
        EXPECT_EQ(fast.output.find("SKELETON[") != std::string::npos, c.skeleton);
        EXPECT_EQ(fast.output.find("\nint yyparse()\n") != std::string::npos, !c.skeleton);
        // The action, with $$ and $n as the table walk's switch has them.
        if (!c.skeleton) {
            EXPECT_NE(fast.output.find("{ yyval = yypvt[-2] + yypvt[-0]; } break;"), std::string::npos) << fast.output;
        }
        // After the user code and the action, the parser file's lines are
        // numbered again as its own.
        int line = 0, directives = 0;
        size_t from = 0;
        for (size_t end; (end = fast.output.find('\n', from)) != std::string::npos; from = end + 1) {
            ++line;
            int named = 0;
            if (std::sscanf(fast.output.c_str() + from, "#line %d \"g.cpp\"", &named) == 1) {
                EXPECT_EQ(named, line + 1);
                ++directives;
            }
        }
        EXPECT_EQ(directives, 2);
    }
}
