// The duq-yacc command: options, defaults and exit status.
#include "e2e_support.h"

#include <gtest/gtest.h>

using namespace e2e;
using yacctest::exists;
using yacctest::readFile;
using yacctest::writeFile;

namespace {
const char kGrammar[] = "%token A\n%%\ns : A { ; } ;\n";
}

TEST(Command, UsageErrorsExitWithTwo)
{
    const char* cases[] = {"", "-o", "-k", "--tokens", "--bogus g.y", "g.y h.y", "-o g.y g.y"};
    for (const char* args : cases) {
        SCOPED_TRACE(args);
        yacctest::TempDir dir;
        writeFile("g.y", kGrammar);
        const Result r = run(bin("duq-yacc") + " " + args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: duq-yacc"), std::string::npos);
        EXPECT_EQ(readFile("g.y"), kGrammar);
    }
}

TEST(Command, HelpAndVersion)
{
    yacctest::TempDir dir;
    Result r = run(bin("duq-yacc") + " --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: duq-yacc"), std::string::npos);
    r = run(bin("duq-yacc") + " --version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("duq-yacc (VORK) ", 0), 0u);
}

TEST(Command, DefaultNamesFollowTheGrammar)
{
    struct Case {
        const char* args;
        const char* output;
        const char* tokens;  // nullptr: no token file expected
    };
    const Case cases[] = {
        {"sub/calc.y", "sub/calc.cpp", nullptr},
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
        EXPECT_TRUE(exists(c.output));
        if (c.tokens) {
            EXPECT_EQ(readFile(c.tokens), "# define A 257\n");
        }
        EXPECT_EQ(exists("t.h") || exists("sub/calc.lex"), c.tokens != nullptr);
        EXPECT_NE(r.out.find(std::string("Parser was written to \"") + c.output + "\"."), std::string::npos);
        EXPECT_NE(readFile(c.output).find("int yyparse()"), std::string::npos);
    }
}

TEST(Command, DefaultSkeletonsLieNextToTheProgram)
{
    yacctest::TempDir dir;
    writeFile("g.y", kGrammar);
    Result r = run(bin("duq-yacc") + " g.y");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(readFile("g.cpp").find("YYDBG_SHIFT"), std::string::npos);  // yaccpar itself
    r = run(bin("duq-yacc") + " --debug g.y");
    const std::string debugSkeleton = std::string(VORK_BIN_DIR) + "/lyaccpar";
    if (exists(debugSkeleton)) {
        EXPECT_EQ(r.status, 0) << r.err;
    } else {
        EXPECT_EQ(r.err, "[DUQ - YACC Chyba] g.y(4): cannot find parser skeleton file \"" + debugSkeleton + "\"\n");
    }
}

TEST(Command, StatusAndStreams)
{
    yacctest::TempDir dir;
    Result r = generate("%%\ns : 'a' ;\n", "--slovak");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Vsetko prebehlo v poriadku! Akcia ukoncena.\n"), std::string::npos);
    EXPECT_EQ(r.err, "");
    r = generate("%%\ns : 'a' ;\n", "-k nothing-here");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "[DUQ - YACC Chyba] g.y(3): cannot find parser skeleton file \"nothing-here\"\n");
    EXPECT_FALSE(exists("g.cpp"));
}
