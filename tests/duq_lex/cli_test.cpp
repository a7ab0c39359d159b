// The duq-lex command: options, exit status, and where its lines go.
#include "lex_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

using namespace lextest;

namespace {

struct CliRun {
    int status;
    std::string out, err;
};

CliRun duqLex(const TempDir& dir, const std::string& args)
{
    std::string cmd = "cd '" + dir.path("") + "' && '" VORK_BIN_DIR "/duq-lex' " + args + " >stdout.txt 2>stderr.txt";
    int rc = std::system(cmd.c_str());
    CliRun r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.out = readFile(dir.path("stdout.txt"));
    r.err = readFile(dir.path("stderr.txt"));
    return r;
}

} // namespace

TEST(Cli, OptionsAndExitStatus)
{
    TempDir dir;
    dir.write("calc.l", "%%\na\t;\n");
    dir.write("bad.l", "%%\na\t{ x;\n");
    dir.write("skel", "/* skeleton */\n");
    struct Case {
        std::string args;
        int status;
        std::string inOut, inErr;  // expected pieces of stdout and stderr
    };
    const Case cases[] = {
        {"--help", 0, "usage: duq-lex", ""},
        {"--version", 0, "duq-lex 1.5.0", ""},
        {"", 2, "", "usage: duq-lex"},
        {"--bogus calc.l", 2, "", "usage: duq-lex"},
        {"-k skel calc.l", 0, "Analyzer written to  \"lexyy.cpp\".", ""},
        {"-k skel -o out.c --slovak --stats --no-optimise calc.l", 0, "STATISTICKE INFORMACIE :", ""},
        {"-k skel -o bad.c bad.l", 1, "", "[DUQ - LEX Chyba] bad.l(2): Action does not terminate\n"},
        {"-k nothere calc.l", 1, "", "[DUQ - LEX Chyba] calc.l(0): Lex driver , file: nothere, not found \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        CliRun r = duqLex(dir, c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.out.find(c.inOut), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
    }
    EXPECT_NE(readFile(dir.path("lexyy.cpp")).find("/* skeleton */"), std::string::npos);
    EXPECT_NE(readFile(dir.path("out.c")).find("/* skeleton */"), std::string::npos);
}
