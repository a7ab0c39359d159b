// The engine with the real generators on the calculator example, compiled
// by a stand-in C compiler (vork-cc where the parser's code matters) and
// run, each test in its own directory.  The
// message list of a make and the exit statuses are pinned through the vork
// program (vork_build_cli_test), with vork-cc.
#include "pipeline_fixture.h"

#include "vork/project/build_texts.h"
#include "vork/project/child_process.h"

#include <memory>

namespace vork {
namespace {

using test::contains;

class Pipeline : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* f : {"calc.lyy", "calc.l", "calc.y", "input.txt"})
            test::writeFile(dir / f, test::sourceFile(std::string("examples/calc/") + f));
        for (const char* f : {"calc.l", "calc.y"})
            test::setMtime(dir / f, test::kBaseTime);
        compiler = dir / "cc.sh";
        compilerLog = dir / "cc.log";
        test::writeStandInCompiler(compiler, compilerLog, 0, 7);
        open("calc.lyy");
    }

    void open(const std::string& name)
    {
        project.reset();
        project = std::make_unique<HeadlessProjekt>(dir / name, false, ui, nullptr, nullptr);
        project->setSkeletons(SkeletonPaths::inDirectory(VORK_BIN_DIR));
        setCompiler(compiler);
        project->openForUse();
    }

    void setCompiler(const std::string& path)
    {
        Configuration config;
        config.cCompilerPath = path;
        project->setConfiguration(config);
    }

    // make(), and the compile it starts.
    int makeAndWait()
    {
        const int r = project->make();
        project->waitUntilIdle();
        return r;
    }

    std::vector<std::string> compilerArgs() { return test::lines(test::readFile(compilerLog)); }

    test::TempDir dir;
    FixedAnswerUi ui{FixedAnswerUi::Answer::No, nullptr};
    std::string compiler, compilerLog;
    std::unique_ptr<HeadlessProjekt> project;
};

// Switching debug mode regenerates both analysers, with the other
// skeletons.
TEST_F(Pipeline, DebugModeUsesTheDebugSkeletons)
{
    // Copies of the skeletons that end with their own name; a debug
    // skeleton ("l" + the plain name) starts as a copy of the plain one.
    ::mkdir((dir / "skel").c_str(), 0755);
    for (std::string name : {"ncform", "lncform", "yaccpar", "lyaccpar"}) {
        const std::string plain = std::string(VORK_BIN_DIR) + "/" + name.substr(name[0] == 'l' ? 1 : 0);
        test::writeFile(dir / "skel/" + name, test::readFile(plain) + "\n/* " + name + " */\n");
    }
    project->setSkeletons(SkeletonPaths::inDirectory(dir / "skel"));
    struct Case { bool debug; std::string scanner, parser; } cases[] = {
        {true, "lncform", "lyaccpar"}, {false, "ncform", "yaccpar"}};
    ASSERT_EQ(project->build(Projekt::kBuild), Projekt::kBuildDone);
    for (const Case& c : cases) {
        project->toggleDebugMode();
        ASSERT_EQ(project->debugMode(), c.debug);
        EXPECT_EQ(project->build(Projekt::kBuild), Projekt::kBuildDone);
        EXPECT_NE(test::readFile(dir / "lexyy.cpp").find("/* " + c.scanner + " */"), std::string::npos);
        EXPECT_NE(test::readFile(dir / "calc.cpp").find("/* " + c.parser + " */"), std::string::npos);
    }
    // The debug build wrote the token file.
    EXPECT_TRUE(test::exists(dir / "calc.lex"));
}

// The fast parser setting writes a directly coded yyparse, and the
// calculator built from it with vork-cc reads its input exactly as the
// skeleton's table walk does, syntax error and recovery included.  Debug
// mode keeps the skeleton's parser for its reporting points.
TEST_F(Pipeline, TheFastParserIsCodedDirectlyAndRunsTheSame)
{
    const std::string direct = "yyparse, coded directly";
    const std::string tableWalk = "yyn = yypact[yystate];";
    struct Case { const char* name; bool fast, debug, direct; } cases[] = {
        {"table walk", false, false, false},
        {"fast", true, false, true},
        {"fast in debug mode", true, true, false},
    };
    std::string tableOutput;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Configuration config;
        config.cCompilerPath = std::string(VORK_BIN_DIR) + "/vork-cc";
        config.fastParser = c.fast;
        project->setConfiguration(config);
        project->setDebugMode(c.debug);
        ASSERT_EQ(project->build(Projekt::kRebuild), Projekt::kBuildDone);
        const std::string parser = test::readFile(dir / "calc.cpp");
        EXPECT_EQ(parser.find(direct) != std::string::npos, c.direct);
        EXPECT_EQ(parser.find(tableWalk) != std::string::npos, !c.direct);
        if (c.debug)
            continue;  // a debug program waits for the IDE's debugger
        ASSERT_EQ(makeAndWait(), Projekt::kMakeCompiling);
        ASSERT_EQ(project->lastCompileExitCode(), 0);
        const vorktest::Run run =
            vorktest::runIn(dir.path(), vorktest::quoted(project->executableName()) + " input.txt 2>&1");
        EXPECT_EQ(run.status, 0) << run.out;
        if (tableOutput.empty()) {
            tableOutput = run.out;
            EXPECT_NE(run.out.find(test::sourceFile("tests/pipeline/data/calc_run.txt")), std::string::npos) << run.out;
        } else {
            EXPECT_EQ(run.out, tableOutput);
        }
    }
}

TEST_F(Pipeline, MakeCompilesOnlyWhenSomethingChangedOrAlwaysCompileIsSet)
{
    EXPECT_EQ(makeAndWait(), Projekt::kMakeCompiling);
    EXPECT_EQ(project->lastCompileExitCode(), 0);
    EXPECT_EQ(project->compileState(), Projekt::kCompileSucceeded);
    EXPECT_EQ(compilerArgs(), std::vector<std::string>{dir / "calc.cpp"});
    // Its output, both streams, is the Exe list; the capture file is gone.
    EXPECT_EQ(project->exeList(), (std::vector<std::string>{"stand-in: 1", "stand-in stderr"}));
    EXPECT_FALSE(test::exists(project->messageFile()));

    ::unlink(compilerLog.c_str());
    EXPECT_EQ(makeAndWait(), Projekt::kMakeUpToDate);
    EXPECT_EQ(project->taskList().back(), texts::kProgramUpToDate);
    EXPECT_FALSE(test::exists(compilerLog));

    project->setAlwaysCompile(true);
    EXPECT_EQ(makeAndWait(), Projekt::kMakeCompiling);
    EXPECT_TRUE(test::exists(compilerLog));

    // A compiler that says nothing empties the Exe list.
    test::makeExecutable(dir / "quiet.sh", "#!/bin/sh\nexit 0\n");
    setCompiler(dir / "quiet.sh");
    EXPECT_EQ(makeAndWait(), Projekt::kMakeCompiling);
    EXPECT_TRUE(project->exeList().empty());
}

TEST_F(Pipeline, LexProjectCompilesTheScannerOutput)
{
    for (const char* f : {"wc.lye", "wc.l"})
        test::writeFile(dir / f, test::sourceFile(std::string("examples/wc/") + f));
    open("wc.lye");
    EXPECT_EQ(makeAndWait(), Projekt::kMakeCompiling);
    EXPECT_EQ(compilerArgs(), std::vector<std::string>{dir / "lexyy.cpp"});
}

TEST_F(Pipeline, CompilerPathIsOneWordWhenItNamesAProgramAndSplitOtherwise)
{
    ::mkdir((dir / "my cc").c_str(), 0755);
    test::writeStandInCompiler(dir / "my cc/cc.sh", compilerLog, 0);
    // "<dir>/my" is a program too: a split path would start it.
    test::writeStandInCompiler(dir / "my", compilerLog, 0);
    struct Case { std::string path; int result; std::vector<std::string> args; } cases[] = {
        {dir / "my cc/cc.sh", Projekt::kMakeCompiling, {dir / "calc.cpp"}},
        {"\"" + dir / "my cc/cc.sh" + "\" -O", Projekt::kMakeCompiling, {"-O", dir / "calc.cpp"}},
        {dir / "my cc/missing", Projekt::kMakeCompiling, {"cc/missing", dir / "calc.cpp"}},
        {dir / "nothing here", Projekt::kMakeNoCompiler, {}},
        {"", Projekt::kMakeNoCompiler, {}},
    };
    for (const Case& c : cases) {
        ::unlink(compilerLog.c_str());
        setCompiler(c.path);
        project->setAlwaysCompile(true);
        EXPECT_EQ(makeAndWait(), c.result) << c.path;
        EXPECT_EQ(compilerArgs(), c.args) << c.path;
        if (c.result == Projekt::kMakeNoCompiler) {
            EXPECT_EQ(project->exeList().back(),
                      std::string("Externý prekladač\n") + c.path + " sa nepodarilo spustit !");
            EXPECT_EQ(project->compileState(), Projekt::kCompileFailed);
        }
    }
}

TEST_F(Pipeline, RunAfterAnEditCompilesFirstAndRunsOnlyAfterASuccessfulCompile)
{
    ASSERT_EQ(makeAndWait(), Projekt::kMakeCompiling);
    struct Case { int compilerExit; bool runs; } cases[] = {{1, false}, {0, true}};
    project->setRunArguments("input.txt \"two words\"");
    time_t editTime = test::kBaseTime;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compilerExit);
        test::writeStandInCompiler(compiler, compilerLog, c.compilerExit, 7);
        test::setMtime(dir / "calc.y", editTime += test::kLater);
        EXPECT_EQ(project->run(), Projekt::kMakeCompiling);
        project->waitUntilIdle();
        EXPECT_EQ(compilerArgs(), std::vector<std::string>{dir / "calc.cpp"});
        EXPECT_EQ(test::exists(dir / "ran.txt"), c.runs);
        EXPECT_EQ(contains(project->taskList(), texts::kRunStarted), c.runs);
        EXPECT_EQ(project->lastRunExitCode(), c.runs ? 7 : -1);
        std::vector<std::string> exe{"stand-in: 1", "stand-in stderr"};
        if (c.compilerExit != 0)
            exe.push_back(std::string(texts::kCompilerFailedHead) + "1.");
        EXPECT_EQ(project->exeList(), exe);
    }
    std::string cwd = dir.path();
    cwd.pop_back();
    EXPECT_EQ(test::lines(test::readFile(dir / "ran.txt")), (std::vector<std::string>{cwd, "input.txt", "two words"}));
}

TEST_F(Pipeline, HaltEndsTheRunWithTheHaltCodeAndRestoresTheTitle)
{
    test::writeStandInCompiler(compiler, compilerLog, 0, 0, "trap '' TERM\nwhile :; do sleep 0.05; done\n");
    ASSERT_EQ(makeAndWait(), Projekt::kMakeCompiling);
    const std::string title = project->title();
    project->halt();  // no run: no effect
    project->setHaltAfter(300);
    project->runNow();
    EXPECT_TRUE(project->running());
    EXPECT_EQ(project->title(), title + texts::kTitleRun);
    project->waitUntilIdle();
    EXPECT_EQ(project->lastRunExitCode(), ChildProcess::kHaltedExitCode);
    EXPECT_EQ(project->title(), title);
    EXPECT_FALSE(project->running());
}

TEST_F(Pipeline, JalMessagesReplaceTheMessageList)
{
    for (const char* f : {"hello.ly", "hello.l", "hello.y", "hello.jal"})
        test::writeFile(dir / f, test::sourceFile(std::string("examples/jal/") + f));
    // A file of the user's by the translator's old fixed name is no
    // message file: it is neither shown nor removed.
    test::writeFile(dir / "jaltemp.tmp", "mine\r\n");
    open("hello.ly");
    ASSERT_EQ(project->jalArgument(), "hello.jal");
    EXPECT_TRUE(project->runJal());
    EXPECT_EQ(project->taskList(), (std::vector<std::string>{"Vstupny subor OK", "Vystupny subor OK"}));
    EXPECT_FALSE(test::exists(project->jalMessageFile()));
    EXPECT_TRUE(test::exists(dir / "HELLO.CLASS"));

    project->setJalArgument("missing.jal");
    EXPECT_FALSE(project->runJal());
    EXPECT_EQ(project->taskList(), std::vector<std::string>{"Nemozno otvorit \"missing.jal\""});
    EXPECT_EQ(test::readFile(dir / "jaltemp.tmp"), "mine\r\n");
}

} // namespace
} // namespace vork
