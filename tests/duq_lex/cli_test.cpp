// The duq-lex command: options, exit status, and where its lines go; and
// the in-process entry point against separate processes.
#include "lex_harness.h"

#include <gtest/gtest.h>


using namespace lextest;

namespace {

using CliRun = vorktest::Run;

CliRun duqLex(const TempDir& dir, const std::string& args)
{
    return vorktest::runIn(dir.path(""), vorktest::program("duq-lex") + " " + args);
}

} // namespace

TEST(Cli, OptionsAndExitStatus)
{
    TempDir dir;
    dir.write("calc.l", "%%\na\t;\n");
    dir.write("bad.l", "%%\na\t{ x;\n");
    dir.write("big.l", "%%\na{1000}\t;\n");
    dir.write("syn.l", "%%\na\t;\nb)\t;\n");
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
        {"calc.l extra.l", 2, "", "usage: duq-lex"},
        {"-o", 2, "", "usage: duq-lex"},
        // defaults: lexyy.cpp with the installed ncform
        {"calc.l", 0, "Analyzer written to  \"lexyy.cpp\".", ""},
        {"-k skel -o out.c --slovak --stats --no-optimise calc.l", 0, "STATISTICKE INFORMACIE :", ""},
        {"-k skel -o bad.c bad.l", 1, "", "[DUQ - LEX Chyba] bad.l(2): Action does not terminate\n"},
        {"-k skel -o syn.c syn.l", 1, "", "[DUQ - LEX Chyba] syn.l(3): syntax error\n"},
        {"-k skel -o syn.c --slovak syn.l", 1, "", "[DUQ - LEX Chyba] syn.l(3): syntakticka chyba\n"},
        {"-k skel -o dir.c .", 1, "", "[DUQ - LEX Chyba] .(0): Can't read input file: .\n"},
        // the tree of a{1000} does not fit the default 1000 nodes
        {"-k skel -o big.c big.l", 1, "\nTry the large-tables mode (duq-lex --large, or", "Parse tree too big"},
        {"-k skel -o big.c --large big.l", 0, "Analyzer written to  \"big.c\".", ""},
        {"--help", 0, "--large", ""},
        {"-k nothere calc.l", 1, "", "[DUQ - LEX Chyba] calc.l(0): Lex driver , file: nothere, not found \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        CliRun r = duqLex(dir, c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.out.find(c.inOut), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
    }
    std::string ncform = readFile(VORK_BIN_DIR "/ncform"), lexyy = readFile(dir.path("lexyy.cpp"));
    ASSERT_FALSE(ncform.empty());
    ASSERT_GE(lexyy.size(), ncform.size());
    EXPECT_EQ(lexyy.substr(lexyy.size() - ncform.size()), ncform);
    EXPECT_NE(readFile(dir.path("out.c")).find("/* skeleton */"), std::string::npos);
}

// Runs of lex_run in one process, with an unrelated run between them, write
// the same files and lines as duq-lex processes on the same inputs.
TEST(Cli, RunsInOneProcessMatchSeparateProcesses)
{
    const char* spec = "D [0-9]\n%s A\n%%\n{D}+\treturn(1);\n<A>[a-z]+/x\t;\n^\"q\"$\t;\nx\tREJECT;\n%%\n";
    for (int slovak : {0, 1}) {
        SCOPED_TRACE(slovak);
        Result first = generate(spec, slovak, 1);
        Result other = generate("%%\nzz\t;\n%%\n", 1 - slovak, 0, 0);
        Result second = generate(spec, slovak, 1);
        TempDir dir;
        dir.write("x.l", spec);
        dir.write("skel", "/* skeleton */\n");
        CliRun cli = duqLex(dir, std::string("-k skel -o x.c --stats ") + (slovak ? "--slovak " : "") + "x.l");
        ASSERT_EQ(first.status, 0);
        ASSERT_EQ(other.status, 0);
        ASSERT_EQ(cli.status, 0);
        std::string process = withoutDateLine(readFile(dir.path("x.c")));
        EXPECT_EQ(withoutDateLine(first.output), process);
        EXPECT_EQ(withoutDateLine(second.output), process);
        // the statistics end with two bare newlines on standard output
        std::string lines, out = cli.out;
        for (const std::string& m : first.messages)
            lines += m + "\n";
        for (size_t p; (p = out.find("\n\n")) != std::string::npos;)
            out.erase(p, 1);
        EXPECT_EQ(lines, out);
        EXPECT_EQ(first.messages, second.messages);
    }
}
