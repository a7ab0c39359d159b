// The make engine's decisions, watched through stand-in generators that
// record every call: which steps run, with which arguments, what the
// results combine to, and how the stamps move.
#include "pipeline_fixture.h"

#include "vork/project/build_texts.h"
#include "vork/project/generators.h"
#include "vork/project/paths.h"

#include <functional>

namespace vork {
namespace {

struct Call {
    std::string tool;  // "lex" or "yacc"
    std::string skeleton, input, output;
    int flag1, flag2, flag3;  // lex: slovak, statistics, optimise; yacc: debug, slovak, -
    std::string tokenFile, stateFile;
    std::string cwd;
};

class RecordingGenerators : public Generators {
public:
    int lexStatus = 0;
    int yaccStatus = 0;
    std::vector<Call> calls;

    int lexRun(Sinks& sinks, const std::string& skeleton, const std::string& input, const std::string& out,
               int slovak, int statistics, int optimise) override
    {
        calls.push_back({"lex", skeleton, input, out, slovak, statistics, optimise, "", "", paths::currentDirectory()});
        sinks.message("lex ran");
        if (lexStatus == 0)
            test::writeFile(out, "scanner");
        return lexStatus;
    }
    int yaccRun(Sinks& sinks, const std::string& skeleton, const std::string& grammar, const std::string& out,
                int debug, int* tokenCount, int slovak, const std::string& tokenFile,
                const std::string& stateFile) override
    {
        calls.push_back({"yacc", skeleton, grammar, out, debug, slovak, 0, tokenFile, stateFile,
                         paths::currentDirectory()});
        *tokenCount = 3;
        sinks.message("yacc ran");
        if (yaccStatus == 0)
            test::writeFile(out, "parser");
        return yaccStatus;
    }
    bool jalTranslate(const std::string&, std::ostream&) override { return false; }

    std::string tools() const
    {
        std::string s;
        for (const Call& c : calls)
            s += (s.empty() ? "" : ",") + c.tool;
        return s;
    }
};

// Records the notifications in order.
class Recorder : public Projekt {
public:
    using Projekt::Projekt;
    std::vector<std::string> events;

protected:
    void note(const std::string& e) { events.push_back(e); }
    void buildStarted() override { note("buildStarted"); }
    void buildFinished(int r) override { note("buildFinished " + std::to_string(r)); }
    void lexStepStarted() override { note("lexStepStarted"); }
    void yaccStepStarted() override { note("yaccStepStarted"); }
    void lexStepFinished(int r) override { note("lexStepFinished " + std::to_string(r)); }
    void yaccStepFinished(int r) override { note("yaccStepFinished " + std::to_string(r)); }
    void lexGenerationStarted() override { note("lexGenerationStarted"); }
    void yaccGenerationStarted() override { note("yaccGenerationStarted"); }
    void lexGenerationFinished(int s) override { note("lexGenerationFinished " + std::to_string(s)); }
    void yaccGenerationFinished(int s) override { note("yaccGenerationFinished " + std::to_string(s)); }
    void debugModeChanged() override { note("debugModeChanged"); }
    void executableStepStarted() override { note("executableStepStarted"); }
    void compileStartFailed() override { note("compileStartFailed"); }
    void compileStarted() override { note("compileStarted"); }
    void showMessage(const std::string& t) override { note("showMessage " + t); }
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

    test::TempDir dir;
    FixedAnswerUi ui{FixedAnswerUi::Answer::No, nullptr};
    RecordingGenerators gen;
    std::unique_ptr<Recorder> project;
};

TEST_F(MakeEngine, NotifiesEveryStepInOrder)
{
    EXPECT_EQ(project->make(), Projekt::kMakeNoCompiler);
    const std::vector<std::string> expected = {
        "buildStarted",          "lexStepStarted",           "lexGenerationStarted",
        "lexGenerationFinished 0", "lexStepFinished 0",      "yaccStepStarted",
        "yaccGenerationStarted", "yaccGenerationFinished 0", "yaccStepFinished 0",
        "buildFinished 0",       "executableStepStarted",    "compileStartFailed",
    };
    EXPECT_EQ(project->events, expected);
}

TEST_F(MakeEngine, CallsTheGeneratorsWithTheProjectNamesAndSettings)
{
    const std::string before = paths::currentDirectory();
    struct Case {
        bool debug, slovak, statistics, optimise;
        const char *lexSkeleton, *yaccSkeleton;
    } cases[] = {
        {false, true, false, true, "/skel/ncform", "/skel/yaccpar"},
        {true, false, true, false, "/skel/lncform", "/skel/lyaccpar"},
    };
    for (const Case& c : cases) {
        gen.calls.clear();
        project->setDebugMode(c.debug);
        Configuration config = project->configuration();
        config.slovakMessages = c.slovak;
        config.scannerStatistics = c.statistics;
        config.scannerOptimisation = c.optimise;
        project->setConfiguration(config);
        EXPECT_EQ(project->build(Projekt::kRebuild), Projekt::kBuildDone);
        ASSERT_EQ(gen.tools(), "lex,yacc");
        const Call& lex = gen.calls[0];
        EXPECT_EQ(lex.skeleton, c.lexSkeleton);
        EXPECT_EQ(lex.input, "calc.l");
        EXPECT_EQ(lex.output, "lexyy.cpp");
        EXPECT_EQ(lex.flag1, c.slovak ? 1 : 0);
        EXPECT_EQ(lex.flag2, c.statistics ? 1 : 0);
        EXPECT_EQ(lex.flag3, c.optimise ? 1 : 0);
        EXPECT_EQ(lex.cwd, dir.path());
        const Call& yacc = gen.calls[1];
        EXPECT_EQ(yacc.skeleton, c.yaccSkeleton);
        EXPECT_EQ(yacc.input, "calc.y");
        EXPECT_EQ(yacc.output, "calc.cpp");
        EXPECT_EQ(yacc.flag1, c.debug ? 1 : 0);
        EXPECT_EQ(yacc.flag2, c.slovak ? 1 : 0);
        EXPECT_EQ(yacc.tokenFile, "calc.lex");
        EXPECT_EQ(yacc.stateFile, "calc.stv");
        EXPECT_EQ(yacc.cwd, dir.path());
        EXPECT_EQ(paths::currentDirectory(), before) << "the caller's directory is restored";
    }
    EXPECT_EQ(project->sinks().messages(), (std::vector<std::string>{"lex ran", "yacc ran", "lex ran", "yacc ran"}));
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
        {Projekt::kBuild, false, 0, 1, Projekt::kBuildFailed, "lex,yacc"},
        {Projekt::kBuild, true, 1, 1, Projekt::kBuildUpToDate, ""},
        {Projekt::kRebuild, true, 0, 0, Projekt::kBuildDone, "lex,yacc"},
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
        EXPECT_EQ(project->events.back() == std::string("showMessage ") + texts::kParserError, failed);
        gen.lexStatus = gen.yaccStatus = 0;
    }
}

TEST_F(MakeEngine, StampsMoveOnlyOnSuccessAndTheExecutableAlwaysGoes)
{
    const int32_t t = fileStamp(project->lexSpecFile());
    struct Case {
        int status;
        int32_t storedAfter;
    } cases[] = {{1, kNoStamp}, {0, t}};
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
    struct Case {
        const char* what;
        std::function<void()> change;
        const char* tools;
    } cases[] = {
        {"nothing", [] {}, ""},
        {"grammar edited", [&] { test::setMtime(project->yaccSpecFile(), test::kBaseTime + test::kLater); }, "yacc"},
        {"stamp moved backwards", [&] { test::setMtime(project->lexSpecFile(), test::kBaseTime - test::kLater); },
         "lex"},
        {"scanner output deleted", [&] { ::unlink(project->lexOutputFile().c_str()); }, "lex"},
        {"stamps forgotten", [&] { project->setLexStamp(kNoStamp); project->setYaccStamp(kNoStamp); }, "lex,yacc"},
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

TEST_F(MakeEngine, DebugModeSwitchAndRemakeForgetTheStamps)
{
    ASSERT_EQ(project->build(Projekt::kBuild), Projekt::kBuildDone);
    project->events.clear();
    project->toggleDebugMode();
    EXPECT_TRUE(project->debugMode());
    EXPECT_EQ(project->lexStamp(), kNoStamp);
    EXPECT_EQ(project->yaccStamp(), kNoStamp);
    EXPECT_EQ(project->events, std::vector<std::string>{"debugModeChanged"});

    gen.calls.clear();
    EXPECT_EQ(project->build(Projekt::kBuild), Projekt::kBuildDone);
    EXPECT_EQ(gen.tools(), "lex,yacc");

    gen.calls.clear();
    EXPECT_EQ(project->remake(), Projekt::kMakeNoCompiler);
    EXPECT_EQ(gen.tools(), "lex,yacc");
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

} // namespace
} // namespace vork
