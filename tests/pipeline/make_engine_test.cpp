// The make engine's decisions, watched through stand-in generators that
// record every call: which steps run, with which arguments, what the
// results combine to, and how the stamps move.
#include "pipeline_fixture.h"

#include "vork/project/build_texts.h"
#include "vork/project/generators.h"
#include "vork/project/paths.h"
#include "vork/project/texts.h"

#include <QCoreApplication>

#include <chrono>
#include <functional>
#include <thread>

namespace vork {
namespace {

// Each call as one line: tool, skeleton, input, output, the four flags
// (lex: slovak, statistics, optimise, large; yacc: debug, slovak, fast,
// large), the token and state files, and the working directory.
class RecordingGenerators : public Generators {
public:
    int lexStatus = 0;
    int yaccStatus = 0;
    std::vector<std::string> calls;

    int lexRun(Sinks& sinks, const std::string& skeleton, const std::string& input, const std::string& out,
               int slovak, int statistics, int optimise, int large) override
    {
        record("lex", skeleton, input, out, slovak, statistics, optimise, large, "", "");
        sinks.message("lex ran");
        if (lexStatus == 0)
            test::writeFile(out, "scanner");
        return lexStatus;
    }
    int yaccRun(Sinks& sinks, const std::string& skeleton, const std::string& grammar, const std::string& out,
                int debug, int* tokenCount, int slovak, const std::string& tokenFile,
                const std::string& stateFile, int large, int fast) override
    {
        record("yacc", skeleton, grammar, out, debug, slovak, fast, large, tokenFile, stateFile);
        *tokenCount = 3;
        sinks.message("yacc ran");
        if (yaccStatus == 0)
            test::writeFile(out, "parser");
        return yaccStatus;
    }
    bool jalTranslate(const std::string&, std::ostream&, std::string&) override { return false; }

    std::string tools() const
    {
        std::string s;
        for (const std::string& c : calls)
            s += (s.empty() ? "" : ",") + c.substr(0, c.find(' '));
        return s;
    }

private:
    void record(const char* tool, const std::string& skeleton, const std::string& in, const std::string& out,
                int f1, int f2, int f3, int f4, const std::string& tokens, const std::string& states)
    {
        calls.push_back(std::string(tool) + " " + skeleton + " " + in + " " + out + " " + std::to_string(f1) +
                        std::to_string(f2) + std::to_string(f3) + std::to_string(f4) + " " + tokens + " " + states + " " +
                        paths::currentDirectory());
    }
};

// Records the notifications the tests look at.
class Recorder : public Projekt {
public:
    using Projekt::Projekt;
    std::vector<std::string> events;

protected:
    void compileStartFailed() override { events.push_back("compileStartFailed"); }
    void compileStarted() override { events.push_back("compileStarted"); }
    void showMessage(const std::string& t) override { events.push_back("showMessage " + t); }
};

class MakeEngine : public ::testing::Test {
protected:
    void SetUp() override { open("calc.lyy"); }

    void open(const std::string& name)
    {
        project.reset();
        project = std::make_unique<Recorder>(dir / name, true, ui);
        project->setGenerators(gen);
        project->setSkeletons(SkeletonPaths::inDirectory("/skel"));
        Configuration config;
        config.cCompilerPath = dir / "no-such-compiler";
        project->setConfiguration(config);
        for (const std::string& f : {project->lexSpecFile(), project->yaccSpecFile()})
            if (test::exists(f))
                test::setMtime(f, test::kBaseTime);
    }

    void configure(const std::function<void(Configuration&)>& change)
    {
        Configuration config = project->configuration();
        change(config);
        project->setConfiguration(config);
    }

    test::TempDir dir;
    FixedAnswerUi ui{FixedAnswerUi::Answer::No, nullptr};
    RecordingGenerators gen;
    std::unique_ptr<Recorder> project;
};

TEST_F(MakeEngine, CallsTheGeneratorsWithTheProjectNamesAndSettings)
{
    const std::string before = paths::currentDirectory();
    const std::string cwd = dir.path();
    struct Case { bool debug, slovak, statistics, optimise, large, fast; std::vector<std::string> calls; };
    const Case cases[] = {
        {false, true, false, true, false, false,
         {"lex /skel/ncform calc.l lexyy.cpp 1010   " + cwd,
          "yacc /skel/yaccpar calc.y calc.cpp 0100 calc.lex calc.stv " + cwd}},
        {true, false, true, false, true, false,
         {"lex /skel/lncform calc.l lexyy.cpp 0101   " + cwd,
          "yacc /skel/lyaccpar calc.y calc.cpp 1001 calc.lex calc.stv " + cwd}},
        // The fast parser leaves the scanner alone ...
        {false, true, false, true, true, true,
         {"lex /skel/ncform calc.l lexyy.cpp 1011   " + cwd,
          "yacc /skel/yaccpar calc.y calc.cpp 0111 calc.lex calc.stv " + cwd}},
        // ... and gives way to the debug parser with its reporting points.
        {true, true, false, true, false, true,
         {"lex /skel/lncform calc.l lexyy.cpp 1010   " + cwd,
          "yacc /skel/lyaccpar calc.y calc.cpp 1100 calc.lex calc.stv " + cwd}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        gen.calls.clear();
        project->setDebugMode(c.debug);
        Configuration config = project->configuration();
        config.slovakMessages = c.slovak;
        config.scannerStatistics = c.statistics;
        config.scannerOptimisation = c.optimise;
        config.largeTables = c.large;
        config.fastParser = c.fast;
        project->setConfiguration(config);
        EXPECT_EQ(project->build(Projekt::kRebuild), Projekt::kBuildDone);
        EXPECT_EQ(gen.calls, c.calls);
        EXPECT_EQ(paths::currentDirectory(), before) << "the caller's directory is restored";
    }
}

TEST_F(MakeEngine, CombinesStepResultsPerMode)
{
    struct Case {
        int mode;
        bool upToDate;  // both outputs generated and stamps current before
        int lexStatus, yaccStatus;
        int result;
        const char* tools;
    } cases[] = {
        {Projekt::kBuild, false, 0, 0, Projekt::kBuildDone, "lex,yacc"},
        {Projekt::kBuild, false, 1, 0, Projekt::kBuildFailed, "lex,yacc"},
        {Projekt::kBuild, true, 1, 1, Projekt::kBuildUpToDate, ""},
        {Projekt::kRebuild, true, 0, 1, Projekt::kBuildFailed, "lex,yacc"},
        {Projekt::kGenerateLex, true, 0, 1, Projekt::kBuildDone, "lex"},
        {Projekt::kGenerateLex, false, 1, 0, Projekt::kBuildStepFailed, "lex"},
        {Projekt::kGenerateYacc, true, 1, 0, Projekt::kBuildDone, "yacc"},
        {Projekt::kGenerateYacc, false, 0, 1, Projekt::kBuildStepFailed, "yacc"},
    };
    for (const Case& c : cases) {
        open("calc.lyy");
        ::unlink((dir / "lexyy.cpp").c_str());
        ::unlink((dir / "calc.cpp").c_str());
        if (c.upToDate) {
            ASSERT_EQ(project->build(Projekt::kBuild), Projekt::kBuildDone);
        }
        gen.calls.clear();
        project->events.clear();
        gen.lexStatus = c.lexStatus;
        gen.yaccStatus = c.yaccStatus;
        const int result = project->build(c.mode);
        EXPECT_EQ(result, c.result) << "mode " << c.mode;
        EXPECT_EQ(gen.tools(), c.tools) << "mode " << c.mode;
        const bool failed = c.result == Projekt::kBuildFailed || c.result == Projekt::kBuildStepFailed;
        EXPECT_EQ(test::contains(project->events, std::string("showMessage ") + texts::kParserError), failed);
        gen.lexStatus = gen.yaccStatus = 0;
    }
}

TEST_F(MakeEngine, StampsMoveOnlyOnSuccessAndTheExecutableAlwaysGoes)
{
    const int32_t t = fileStamp(project->lexSpecFile());
    struct Case { int status; int32_t storedAfter; } cases[] = {{1, kNoStamp}, {0, t}};
    for (const Case& c : cases) {
        test::writeFile(project->executableName(), "old program");
        gen.lexStatus = c.status;
        project->build(Projekt::kGenerateLex);
        EXPECT_EQ(project->lexStamp(), c.storedAfter);
        EXPECT_FALSE(test::exists(project->executableName())) << "status " << c.status;
    }
}

TEST_F(MakeEngine, UnforcedStepIsSkippedOnlyWithTheSameStampAndTheOutput)
{
    ASSERT_EQ(project->build(Projekt::kBuild), Projekt::kBuildDone);
    struct Case { const char* what; std::function<void()> change; const char* tools; } cases[] = {
        {"nothing", [] {}, ""},
        {"grammar edited", [&] { test::setMtime(project->yaccSpecFile(), test::kBaseTime + test::kLater); }, "yacc"},
        {"stamp moved backwards", [&] { test::setMtime(project->lexSpecFile(), test::kBaseTime - test::kLater); },
         "lex"},
        {"scanner output deleted", [&] { ::unlink(project->lexOutputFile().c_str()); }, "lex"},
        {"stamps forgotten", [&] { project->setLexStamp(kNoStamp); project->setYaccStamp(kNoStamp); }, "lex,yacc"},
        // Settings that give other files make their steps due; the
        // statistics only report.
        {"coded parser ticked", [&] { configure([](Configuration& c) { c.fastParser = true; }); }, "yacc"},
        {"large tables ticked", [&] { configure([](Configuration& c) { c.largeTables = true; }); }, "lex,yacc"},
        {"scanner optimisation off",
         [&] { configure([](Configuration& c) { c.scannerOptimisation = false; }); }, "lex"},
        {"statistics on", [&] { configure([](Configuration& c) { c.scannerStatistics = true; }); }, ""},
        {"coded parser in a debug build", [&] { project->toggleDebugMode(); }, "lex,yacc"},
        {"coded parser unticked in a debug build",
         [&] { configure([](Configuration& c) { c.fastParser = false; }); }, ""},
        // A missing specification with a forgotten stamp and an existing
        // output counts as up to date.
        {"specification missing", [&] { ::unlink(project->yaccSpecFile().c_str()); project->setYaccStamp(kNoStamp); },
         ""},
    };
    for (const Case& c : cases) {
        c.change();
        gen.calls.clear();
        const int result = project->build(Projekt::kBuild);
        EXPECT_EQ(gen.tools(), c.tools) << c.what;
        EXPECT_EQ(result, *c.tools ? Projekt::kBuildDone : Projekt::kBuildUpToDate) << c.what;
    }
}

// Only a make whose generations all succeed reaches the compiler; a LEX
// project has no grammar step.
TEST_F(MakeEngine, FailedGenerationNeverCompiles)
{
    struct Case { const char* project; int lexStatus, yaccStatus, result; const char* tools; };
    const Case cases[] = {
        {"wc.lye", 0, 0, Projekt::kMakeNoCompiler, "lex"},
        {"wc.lye", 1, 0, Projekt::kMakeFailed, "lex"},
        {"calc.lyy", 0, 1, Projekt::kMakeFailed, "lex,yacc"},
        {"calc.lyy", 1, 0, Projekt::kMakeFailed, "lex,yacc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.project) + " " + std::to_string(c.lexStatus) + std::to_string(c.yaccStatus));
        open(c.project);
        project->setLexStamp(kNoStamp);
        project->setYaccStamp(kNoStamp);
        ::unlink(project->messageFile().c_str());
        gen.calls.clear();
        gen.lexStatus = c.lexStatus;
        gen.yaccStatus = c.yaccStatus;
        EXPECT_EQ(project->make(), c.result);
        EXPECT_EQ(gen.tools(), c.tools);
        EXPECT_EQ(test::contains(project->events, "compileStartFailed"), c.result == Projekt::kMakeNoCompiler);
        EXPECT_FALSE(test::contains(project->events, "compileStarted"));
        if (c.result == Projekt::kMakeFailed) {
            EXPECT_FALSE(test::exists(project->messageFile()));
        }
    }
}


// Two projects of one directory share "lexyy.cpp" and the compile's files:
// while one make generates and compiles, the other builds nothing and says
// why, and builds as soon as the first compile has ended.
TEST_F(MakeEngine, AnotherProjectOfTheDirectoryDoesNotBuildDuringAMake)
{
    // A compiler that runs for as long as the file "hold" exists.
    const std::string cc = dir / "cc.sh";
    test::makeExecutable(cc, "#!/bin/sh\nwhile [ -e '" + dir / "hold" + "' ]; do sleep 0.02; done\nexit 0\n");
    configure([&](Configuration& c) { c.cCompilerPath = cc; });
    RecordingGenerators otherGen;
    Recorder other(dir / "other.lyy", true, ui);
    other.setGenerators(otherGen);
    other.setSkeletons(SkeletonPaths::inDirectory("/skel"));
    other.setConfiguration(project->configuration());
    auto waitForCompile = [](Projekt& p) {
        for (int i = 0; i < 1000 && p.compileState() == Projekt::kCompiling; ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_NE(p.compileState(), Projekt::kCompiling);
    };
    const std::string lockFile = Projekt::directoryLockFile(dir.path());
    const std::string busy = std::string(texts::kDirectoryBusyHead) + dir.path() + texts::kDirectoryBusyTail;

    test::writeFile(dir / "hold", "");
    ASSERT_EQ(project->make(), Projekt::kMakeCompiling);
    EXPECT_TRUE(test::exists(lockFile));
    const std::string scanner = test::readFile(project->lexOutputFile());

    struct Case { const char* what; std::function<int()> call; };
    const Case cases[] = {
        {"build", [&] { return other.build(Projekt::kBuild); }},
        {"rebuild", [&] { return other.build(Projekt::kRebuild); }},
        {"scanner only", [&] { return other.build(Projekt::kGenerateLex); }},
        {"parser only", [&] { return other.build(Projekt::kGenerateYacc); }},
        {"make", [&] { return other.make(); }},
        {"remake", [&] { return other.remake(); }},
        {"run", [&] { return other.run(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int shown = ui.messagesShown();
        other.setLexStamp(1234);
        EXPECT_EQ(c.call(), Projekt::kRefusedBusy);
        EXPECT_EQ(ui.messagesShown(), shown + 1);
        EXPECT_EQ(ui.lastMessage(), busy);
        EXPECT_EQ(other.lexStamp(), 1234) << "a refused remake forgets nothing";
        EXPECT_TRUE(otherGen.calls.empty());
        EXPECT_FALSE(test::contains(other.events, "compileStarted"));
        EXPECT_EQ(test::readFile(project->lexOutputFile()), scanner);
    }
    EXPECT_TRUE(test::exists(lockFile));

    ::unlink((dir / "hold").c_str());
    waitForCompile(*project);
    EXPECT_EQ(project->compileState(), Projekt::kCompileSucceeded);
    EXPECT_FALSE(test::exists(lockFile));
    other.setLexStamp(kNoStamp);
    EXPECT_EQ(other.make(), Projekt::kMakeCompiling);
    EXPECT_EQ(otherGen.tools(), "lex,yacc");
    waitForCompile(other);
    EXPECT_FALSE(test::exists(lockFile));

    // A build alone, and a make that ends before any compile, let go at
    // their end.
    Configuration noCompiler = other.configuration();
    noCompiler.cCompilerPath = dir / "no-such-compiler";
    other.setConfiguration(noCompiler);
    EXPECT_EQ(other.remake(), Projekt::kMakeNoCompiler);
    EXPECT_EQ(other.build(Projekt::kRebuild), Projekt::kBuildDone);
    EXPECT_FALSE(test::exists(lockFile));
    EXPECT_EQ(project->build(Projekt::kRebuild), Projekt::kBuildDone);
    other.setSaveOnClose(false);
}

} // namespace
} // namespace vork
