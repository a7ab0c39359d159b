// The vork program's build options, run as a script would run them.
#include "pipeline_fixture.h"

#include "vork/progdir.h"

namespace vork {
namespace {

using test::quoted;
using test::runVork;

class VorkBuildCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* f : {"calc.lyy", "calc.l", "calc.y", "input.txt"})
            test::writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
        project = quoted(dir / "calc.lyy");
    }

    test::TempDir dir;
    std::string project;
};

// The main job: make the calculator with vork-cc and run it on its input.
TEST_F(VorkBuildCli, MakesAndRunsTheCalculator)
{
    // The message list of a make, line by line.
    std::string expected = test::sourceFile("tests/pipeline/data/calc_make.txt");
    for (size_t at; (at = expected.find("@VERSION@")) != std::string::npos;)
        expected.replace(at, 9, versionString());
    test::RunResult make = runVork("--make " + project);
    EXPECT_EQ(make.status, 0);
    EXPECT_EQ(make.out, expected);

    test::RunResult run = runVork("--run " + project + " -- input.txt");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find(test::sourceFile("tests/pipeline/data/calc_run.txt")), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Program je aktuálny. Netreba zostavovať."), std::string::npos);

    // The run arguments were saved with the project, CR LF.
    EXPECT_NE(test::readFile(dir / "calc.lyy").find("\r\ninput.txt\r\n"), std::string::npos);

    test::RunResult again = runVork("--make " + project);
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

    struct Case { std::string args; int status; } cases[] = {
        {"--build " + project, 0},
        {"--build " + project, 2},
        {"--lex " + project, 0},
        {"--large --rebuild " + project, 0},  // a modifier of this call only
        {"--cc " + quoted(dir / "none") + " --make " + project, 4},
        {"--cc " + quoted(failingCc) + " --make " + project, 6},
        {"--cc " + quoted(failingCc) + " --run " + project, 6},
        {"--cc " + quoted(cc) + " --remake " + project, 0},
        {"--cc " + quoted(cc) + " --run " + project, 7},
        {"--cc " + quoted(sleeper) + " --halt-after 0.2 --remake " + project, 0},
        {"--halt-after 0.2 --run " + project, 124},
        {"--halt-after soon --run " + project, 2},
        {"--debug-mode maybe " + project, 2},
        {"--build " + quoted(dir / "missing.lyy"), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runVork(c.args).status, c.status) << c.args;

    test::writeFile(dir / "calc.y", "%token A\n%%\ns : A B ;\n");
    // Within the same two seconds the stamp would not move.
    test::setMtime(dir / "calc.y", test::kBaseTime);
    EXPECT_EQ(runVork("--build " + project).status, 3);
    EXPECT_EQ(runVork("--make " + project).status, 3);
}

} // namespace
} // namespace vork
