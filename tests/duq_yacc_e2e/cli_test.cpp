// The duq-yacc command: options, defaults, exit status and streams.
#include "e2e_support.h"

#include <algorithm>
#include <cstring>
#include <sstream>

using namespace e2e;

namespace {
const char kGrammar[] = "%token A\n%%\ns : A { ; } ;\n";
}

TEST(Command, ExitStatusAndStreams)
{
    struct Case {
        const char* args;
        int status;
        const char* out;  // a part of stdout ("" = anything)
        const char* err;  // a part of stderr ("" = nothing at all)
        const char* grammar = kGrammar;
    };
    const char* usage = "usage: duq-yacc";
    const Case cases[] = {
        {"", 2, "", usage},
        {"-o", 2, "", usage},
        {"-k", 2, "", usage},
        {"--tokens", 2, "", usage},
        {"--bogus g.y", 2, "", usage},
        {"g.y h.y", 2, "", usage},
        {"-o g.y g.y", 2, "", usage},
        {"--help", 0, usage, ""},
        {"--version", 0, "duq-yacc (VORK) ", ""},
        {"--slovak g.y", 0, "Vsetko prebehlo v poriadku! Akcia ukoncena.\n", ""},
        {"-k nothing-here g.y", 1, "", "[DUQ - YACC Chyba] g.y(4): cannot find parser skeleton file \"nothing-here\"\n"},
        // Every undefined or unproductive nonterminal is reported, an
        // undefined one where it is used first.
        {"g.y", 1, "",
         "[DUQ - YACC Chyba] g.y(2): nonterminal \"a\" not defined!\n"
         "[DUQ - YACC Chyba] g.y(2): nonterminal \"b\" not defined!\n",
         "%%\ns : a 'x' b ;\nc : s ;\n"},
        {"g.y", 1, "",
         "[DUQ - YACC Chyba] g.y(4): nonterminal \"s\" never derives any token string\n"
         "[DUQ - YACC Chyba] g.y(4): nonterminal \"t\" never derives any token string\n",
         "%%\ns : s 'x' | t ;\nt : 'y' t ;\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        yacctest::TempDir dir;
        writeFile("g.y", c.grammar);
        const Result r = run(bin("duq-yacc") + " " + c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        if (*c.err) {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, "");
        }
        EXPECT_EQ(readFile("g.y"), c.grammar);
        if (c.status != 0 && c.grammar == kGrammar) {
            EXPECT_FALSE(exists("g.cpp"));
        }
    }
}

TEST(Command, DefaultNamesFollowTheGrammar)
{
    struct Case {
        const char* args;
        const char* output;
        const char* tokens;  // nullptr: no token file expected
    };
    const Case cases[] = {
        // Without -k, the skeletons next to the program: yaccpar, and
        // lyaccpar for a debug build.
        {"sub/calc.y", "sub/calc.cpp", nullptr},
        {"--debug sub/calc.y", "sub/calc.cpp", "sub/calc.lex"},
        {"-o out.c sub/calc.y", "out.c", nullptr},
        // The debug skeleton is another engineer's; a stand-in serves here.
        {"--debug -k skel sub/calc.y", "sub/calc.cpp", "sub/calc.lex"},
        {"--debug -k skel --tokens t.h sub/calc.y", "sub/calc.cpp", "t.h"},
        {"--tokens t.h sub/calc.y", "sub/calc.cpp", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        yacctest::TempDir dir;
        std::filesystem::create_directory("sub");
        writeFile("sub/calc.y", kGrammar);
        writeFile("skel", "int yyparse() { switch (0) { $A } }\n");
        const Result r = run(bin("duq-yacc") + " " + c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(std::string("Parser was written to \"") + c.output + "\"."), std::string::npos);
        const std::string parser = readFile(c.output);
        EXPECT_NE(parser.find("int yyparse()"), std::string::npos);
        EXPECT_EQ(parser.find("SemantickaAkcia(int line)") != std::string::npos,
                  c.args == std::string("--debug sub/calc.y"));
        if (c.tokens) {
            EXPECT_EQ(readFile(c.tokens), "# define A 257\n");
        }
        EXPECT_EQ(exists("t.h") || exists("sub/calc.lex"), c.tokens != nullptr);
    }
}

// The header names the skeleton the parser was made from, and a coded
// parser, made from none, names none; a skeleton given for it would be
// left unread, so the command refuses the pair.
TEST(Command, TheHeaderNamesOnlyASkeletonThatWasRead)
{
    struct Case {
        const char* args;
        int status;
        const char* skeletonLine;  // line 7 of the parser; nullptr: no parser
    };
    const Case cases[] = {
        {"g.y", 0, "yaccpar\"."},
        {"-k skel g.y", 0, "//    Used skeleton file:      \"skel\"."},
        {"--fast g.y", 0, "//    Used skeleton file:      none, yyparse is coded directly."},
        {"--fast -k skel g.y", 2, nullptr},
        {"-k skel --fast g.y", 2, nullptr},
        {"--fast --debug -k skel g.y", 0, "//    Used skeleton file:      \"skel\"."},
        {"--fast --debug g.y", 0, "lyaccpar\"."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        yacctest::TempDir dir;
        writeFile("g.y", kGrammar);
        writeFile("skel", "int yyparse() { switch (0) { $A } }\n");
        const Result r = run(bin("duq-yacc") + " " + c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        ASSERT_EQ(exists("g.cpp"), c.skeletonLine != nullptr);
        if (!c.skeletonLine) {
            EXPECT_NE(r.err.find("duq-yacc: -k and --fast: the directly coded parser reads no skeleton\n"),
                      std::string::npos)
                << r.err;
            continue;
        }
        std::istringstream parser(readFile("g.cpp"));
        std::string line;
        for (int n = 0; n < 7; ++n)
            std::getline(parser, line);
        EXPECT_EQ(line.rfind("//    Used skeleton file:      ", 0), 0u) << line;
        EXPECT_GE(line.size(), std::strlen(c.skeletonLine));
        EXPECT_EQ(line.substr(line.size() - std::min(line.size(), std::strlen(c.skeletonLine))), c.skeletonLine);
    }
}

TEST(Command, RunsInOneProcessMatchRunsInSeparateProcesses)
{
    // A large grammar, a fatal error, a failed check and a small grammar one
    // after the other in this process: each parser file (or its absence)
    // equals the one the program makes on its own.
    const std::string grammars[] = {
        "%token N\n%left '+' '-'\n%left '*'\n%%\ne : e '+' e | e '-' e | e '*' e | '(' e ')' | N ;\n",
        "%token A\n%%\ns : A { $$ = $2; } ;\n",
        "%%\ns : a ;\n",
        "%%\ns : 'a' s | ;\n",
    };
    const std::string skeleton = std::string(VORK_BIN_DIR) + "/yaccpar";
    yacctest::TempDir dir;
    for (const std::string& grammar : grammars) {
        SCOPED_TRACE(grammar);
        writeFile("g.y", grammar);
        yacctest::RecordingSinks sinks;
        const int status = duq_yacc::yacc_run(sinks, skeleton, "g.y", "g.cpp", 0, nullptr, 0, "", "");
        const std::string inProcess = exists("g.cpp") ? yacctest::body(readFile("g.cpp")) : "<none>";
        std::filesystem::remove("g.cpp");
        const Result r = run(bin("duq-yacc") + " g.y");
        EXPECT_EQ(r.status, status);
        EXPECT_EQ(exists("g.cpp") ? yacctest::body(readFile("g.cpp")) : "<none>", inProcess);
        std::filesystem::remove("g.cpp");
    }
}

TEST(Command, StateListingOptions)
{
    const char* conflict = "%token IF ELSE X\n%%\ns : IF s | IF s ELSE s | X ;\n";
    struct Case {
        const char* args;
        int status;
        const char* listing;  // the file expected, nullptr: none at all
        const char* head;     // the conflict's head line on stdout
    };
    const Case cases[] = {
        {"sub/g.y", 0, nullptr, "conflict in state 4: shift/reduce on ELSE\n"},
        {"-v sub/g.y", 0, "sub/g.stv", "sub/g.stv(50): conflict in state 4: shift/reduce on ELSE\n"},
        {"--states out.txt sub/g.y", 0, "out.txt", "out.txt(50): conflict in state 4: shift/reduce on ELSE\n"},
        {"--cex-time 0.5 -v sub/g.y", 0, "sub/g.stv", "sub/g.stv(50): conflict in state 4"},
        {"--slovak -v sub/g.y", 0, "sub/g.stv", "sub/g.stv(50): konflikt v stave 4: posun/redukcia na ELSE\n"},
        {"--states", 2, nullptr, ""},
        {"--cex-time soon sub/g.y", 2, nullptr, ""},
        {"--cex-time -1 sub/g.y", 2, nullptr, ""},
        {"--states sub/g.y sub/g.y", 2, nullptr, ""},
        {"--states sub/g.cpp sub/g.y", 2, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        yacctest::TempDir dir;
        std::filesystem::create_directory("sub");
        writeFile("sub/g.y", conflict);
        const Result r = run(bin("duq-yacc") + " " + c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(readFile("sub/g.y"), conflict);
        EXPECT_NE(r.out.find(c.head), std::string::npos) << r.out;
        if (c.listing) {
            EXPECT_EQ(readFile(c.listing).rfind("DUQ-yacc ", 0), 0u);
        }
        EXPECT_EQ(exists("sub/g.stv") || exists("out.txt"), c.listing != nullptr);
        if (c.status == 2) {
            EXPECT_NE(r.err.find("usage: duq-yacc"), std::string::npos);
        }
    }
}
