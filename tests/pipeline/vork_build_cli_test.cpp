// The vork program's build options, run as a script would run them.
#include "pipeline_fixture.h"

#include <sys/wait.h>

namespace vork {
namespace {

struct Result {
    int status;
    std::string out;
};

// Runs vork with args (already quoted for the shell); stdout only.
Result vork(const std::string& args)
{
    const std::string cmd = std::string("'") + VORK_BIN_DIR + "/vork' " + args + " 2>/dev/null";
    FILE* p = ::popen(cmd.c_str(), "r");
    Result r{-1, ""};
    if (!p)
        return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string q(const std::string& s)
{
    return "'" + s + "'";
}

class VorkBuildCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* f : {"calc.lyy", "calc.l", "calc.y", "input.txt"})
            test::writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
        project = q(dir / "calc.lyy");
    }

    test::TempDir dir;
    std::string project;
};

// The main job: make the calculator with vork-cc and run it on its input.
TEST_F(VorkBuildCli, MakesAndRunsTheCalculator)
{
    Result make = vork("--make " + project);
    EXPECT_EQ(make.status, 0) << make.out;
    EXPECT_NE(make.out.find("Generovanie spustitelneho prekladaca: calc.cpp"), std::string::npos);

    Result run = vork("--run " + project + " -- input.txt");
    EXPECT_EQ(run.status, 0) << run.out;
    const std::string expected = "7\n9\n1\na = 42\n44\nriadok 6: delenie nulou\nb = 0\nriadok 7: syntax error\n2\n";
    EXPECT_NE(run.out.find(expected), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Program je aktuálny. Netreba zostavovať."), std::string::npos);

    // The run arguments were saved with the project, CR LF.
    EXPECT_NE(test::readFile(dir / "calc.lyy").find("\r\ninput.txt\r\n"), std::string::npos);

    Result again = vork("--make " + project);
    EXPECT_EQ(again.status, 2);
    EXPECT_EQ(again.out, "=> štart [Analyzátory]\nVšetko je aktuálne. Netreba zostavovať.\n=> štart [Exe]:\n"
                         "Program je aktuálny. Netreba zostavovať.\n");
}

TEST_F(VorkBuildCli, ExitStatusFollowsTheResult)
{
    const std::string cc = dir / "cc.sh";
    test::writeStandInCompiler(cc, dir / "cc.log", 0, 7, "exit 7\n");
    const std::string failingCc = dir / "fail.sh";
    test::writeStandInCompiler(failingCc, dir / "cc.log", 1);
    const std::string sleeper = dir / "sleeper.sh";
    test::writeStandInCompiler(sleeper, dir / "cc.log", 0, 0, "exec sleep 30\n");

    struct Case {
        std::string args;
        int status;
    } cases[] = {
        {"--build " + project, 0},
        {"--build " + project, 2},
        {"--lex " + project, 0},
        {"--cc " + q(dir / "none") + " --make " + project, 4},
        {"--cc " + q(failingCc) + " --make " + project, 6},
        {"--cc " + q(failingCc) + " --run " + project, 6},
        {"--cc " + q(cc) + " --remake " + project, 0},
        {"--cc " + q(cc) + " --run " + project, 7},
        {"--cc " + q(sleeper) + " --halt-after 0.2 --remake " + project, 0},
        {"--halt-after 0.2 --run " + project, 124},
        {"--halt-after soon --run " + project, 2},
        {"--debug-mode maybe " + project, 2},
        {"--build " + q(dir / "missing.lyy"), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(vork(c.args).status, c.status) << c.args;

    test::writeFile(dir / "calc.y", "%token A\n%%\ns : A B ;\n");
    // Within the same two seconds the stamp would not move.
    test::setMtime(dir / "calc.y", test::kBaseTime);
    EXPECT_EQ(vork("--build " + project).status, 3);
    EXPECT_EQ(vork("--make " + project).status, 3);
}

TEST_F(VorkBuildCli, DebugModeSwitchIsSavedAndForgetsTheStamps)
{
    ASSERT_EQ(vork("--build " + project).status, 0);
    Result on = vork("--debug-mode on " + project);
    EXPECT_EQ(on.status, 0);
    EXPECT_EQ(on.out, "Ladiaci režim: zapnutý\n");
    const std::vector<std::string> fileLines = test::lines(test::readFile(dir / "calc.lyy"));
    ASSERT_GE(fileLines.size(), 3u);
    EXPECT_EQ(fileLines[0], "-1\r");
    EXPECT_EQ(fileLines[1], "-1\r");
    EXPECT_EQ(fileLines[2], "1\r");
}

TEST(VorkBuildCliHelp, DocumentsTheExitCodes)
{
    Result help = vork("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--build", "--rebuild", "--lex", "--yacc", "--make", "--remake", "--run", "--jal",
                               "--debug-mode", "--halt-after", "124", "127"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
}

} // namespace
} // namespace vork
