#include "vork/project/projekt.h"

#include "vork/project/project_error.h"
#include "vork/project/stamp.h"
#include "vork/project/paths.h"

#include "test_dir.h"

#include <gtest/gtest.h>

using namespace vork;
using vork::test::exists;
using vork::test::readFile;
using vork::test::writeFile;

namespace {

FixedAnswerUi::Answer kYes = FixedAnswerUi::Answer::Yes;
FixedAnswerUi::Answer kNo = FixedAnswerUi::Answer::No;

// The text a construction failed with, or "" when it succeeded.
std::string failureOf(const std::string& file, bool createNew, ProjectUi& ui, bool* cancelled = nullptr)
{
    try {
        Projekt p(file, createNew, ui);
        p.setSaveOnClose(false);
    } catch (const ProjectError& e) {
        if (cancelled)
            *cancelled = e.cancelled();
        return e.what();
    }
    return "";
}

} // namespace

// The names passed to the generators are checked in the make engine tests,
// the ones --info shows in the vork tests; these are the rest.
TEST(Projekt, DerivesItsNames)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "calc.lyy", true, ui);
    EXPECT_EQ(p.kind(), kLexYaccProject);
    EXPECT_EQ(p.projectDir(), dir.path());
    EXPECT_EQ(p.parserOutputFile(), dir / "calc.cpp");
    EXPECT_EQ(p.tokenFile(), dir / "calc.lex");
    EXPECT_EQ(p.stateFile(), dir / "calc.stv");
    EXPECT_EQ(p.executableName(), dir / "calc.exe");
    EXPECT_TRUE(p.loaded());
}

TEST(Projekt, KindFromExactExtension)
{
    struct Case { const char* name; ProjectKind kind; };
    const Case cases[] = {
        {"a.lye", kLexProject}, {"a.lyy", kLexYaccProject}, {"a.ly", kGeneralProject},
        {"P.LYE", kGeneralProject}, {"a.txt", kGeneralProject}, {"a", kGeneralProject},
    };
    for (const Case& c : cases)
        EXPECT_EQ(projectKindOf(std::string("/d/") + c.name), c.kind) << c.name;
}

TEST(Projekt, SaveWritesTheFileAndReopens)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
    ::mkdir((dir / "sub").c_str(), 0777);
    {
        Projekt p(dir / "calc.lyy", true, ui);
        p.setLexStamp(1234);
        p.setYaccStamp(5678);
        p.setRunArguments("test.txt");
        EXPECT_TRUE(p.addFile(dir / "util.c"));
        EXPECT_TRUE(p.addFile(dir / "sub/name.c"));
        EXPECT_TRUE(p.addFile("/elsewhere/lib.c"));
    }  // destruction saves
    EXPECT_EQ(readFile(dir / "calc.lyy"),
              "1234\r\n5678\r\n0\r\n3\r\n1\r\n0\r\ntest.txt\r\nutil.c\r\nsub/name.c\r\n"
              "../../elsewhere/lib.c\r\n");

    Projekt back(dir / "calc.lyy", false, ui);
    back.setSaveOnClose(false);
    EXPECT_EQ(back.lexStamp(), 1234);
    EXPECT_EQ(back.yaccStamp(), 5678);
    EXPECT_EQ(back.runArguments(), "test.txt");
    EXPECT_EQ(back.jalArgument(), "test.jal");
    EXPECT_EQ(back.memberFiles(),
              (std::vector<std::string>{dir / "util.c", dir / "sub/name.c", "/elsewhere/lib.c"}));
    EXPECT_EQ(ui.questionsAsked(), 0);
}

TEST(Projekt, ReadsWindowsSeparatorsAndCSourceLine)
{
    test::TempDir dir;
    writeFile(dir / "w.ly", "1\n2\n0\n1\n0\n0\na\\b\nsub\\name.c\nsrc\\main.c\n");
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "w.ly", false, ui);
    p.setSaveOnClose(false);
    EXPECT_EQ(p.runArguments(), "a\\b");  // arguments are not paths
    EXPECT_EQ(p.fileAt(0), dir / "sub/name.c");
    EXPECT_FALSE(p.isDefaultCSource());
    EXPECT_EQ(p.getCSource(), dir / "src/main.c");
    EXPECT_EQ(p.executableName(), dir / "src/main.exe");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(readFile(dir / "w.ly"), "1\r\n2\r\n0\r\n1\r\n0\r\n0\r\na\\b\r\nsub/name.c\r\nsrc/main.c\r\n");
}

TEST(Projekt, JalArgumentFromRunArguments)
{
    struct Case { const char* args; const char* jal; };
    const Case cases[] = {
        {"", ".jal"}, {"in.txt", "in.jal"}, {"a.b.c", "a.jal"}, {"-x file", "-x file.jal"},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        writeFile(dir / "j.ly", std::string("-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\n") + c.args + "\r\n");
        FixedAnswerUi ui(kNo, nullptr);
        Projekt p(dir / "j.ly", false, ui);
        p.setSaveOnClose(false);
        EXPECT_EQ(p.jalArgument(), c.jal) << c.args;
        EXPECT_EQ(p.runArguments(), c.args);
    }
}

TEST(Projekt, OpenFailuresNameTheFile)
{
    // A file that exists but whose read fails, even for root: the process's
    // own memory file, which refuses reads at offset 0.
    test::TempDir dir;
    ASSERT_EQ(::symlink("/proc/self/mem", (dir / "p.ly").c_str()), 0);
    struct Case { std::string file; bool createNew; };
    const Case cases[] = {{"", true}, {"/tmp/", true}, {dir / "p.ly", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        FixedAnswerUi ui(kYes, nullptr);
        EXPECT_EQ(failureOf(c.file, c.createNew, ui), "Chyba pri otváraní projekt súboru " + c.file);
        EXPECT_EQ(ui.questionsAsked(), 0);
    }
}

TEST(Projekt, MissingFileAsksBeforeCreating)
{
    struct Case { FixedAnswerUi::Answer answer; bool created; };
    for (const Case& c : {Case{kYes, true}, Case{kNo, false}}) {
        test::TempDir dir;
        FixedAnswerUi ui(c.answer, nullptr);
        bool cancelled = false;
        std::string failure = failureOf(dir / "n.lyy", false, ui, &cancelled);
        EXPECT_EQ(ui.questionsAsked(), 1);
        EXPECT_EQ(exists(dir / "n.l"), c.created);
        EXPECT_EQ(exists(dir / "n.y"), c.created);
        if (c.created) {
            EXPECT_EQ(failure, "");
        } else {
            EXPECT_EQ(failure, "Projekt zruseny! ");
            EXPECT_TRUE(cancelled);
        }
        EXPECT_FALSE(exists(dir / "n.lyy"));  // save was turned off / never reached
    }
}

TEST(Projekt, NewOverExistingProjectReadsIt)
{
    test::TempDir dir;
    const std::string file = "7\r\n8\r\n0\r\n0\r\n1\r\n0\r\nkeep\r\n";
    writeFile(dir / "old.lyy", file);
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "old.lyy", true, ui);
    EXPECT_EQ(p.lexStamp(), 7);
    EXPECT_EQ(p.runArguments(), "keep");
    EXPECT_FALSE(exists(dir / "old.l"));
}

TEST(Projekt, AddFileIgnoresDuplicatesAndSpecifications)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "a.lyy", true, ui);
    p.setSaveOnClose(false);
    struct Case { std::string path; bool added; };
    const Case cases[] = {
        {dir / "util.c", true},
        {dir / "util.c", false},
        {dir / "a.l", false},
        {dir / "a.y", false},
        {dir / "sub/../util.c", false},  // the same file spelt differently
        {dir / "A.l", true},             // names are case-sensitive
    };
    for (const Case& c : cases)
        EXPECT_EQ(p.addFile(c.path), c.added) << c.path;
    EXPECT_EQ(p.fileCount(), 2);

    p.removeFile(5);
    p.removeFile(-1);
    EXPECT_EQ(p.fileCount(), 2);
    p.removeFile(0);
    ASSERT_EQ(p.fileCount(), 1);
    EXPECT_EQ(p.fileAt(0), dir / "A.l");
}

TEST(Projekt, AddFileStopsAtTheFileLimit)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "a.ly", true, ui);
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(p.addFile(dir / ("m" + std::to_string(i) + ".c")));
    EXPECT_FALSE(p.addFile(dir / "one-too-many.c"));
    p.removeFile(0);
    EXPECT_FALSE(p.addFile(dir / std::string(255, 'n')));  // its line would be too long
    EXPECT_TRUE(p.addFile(dir / std::string(254, 'n')));
    ASSERT_TRUE(p.save());
    Projekt back(dir / "a.ly", false, ui);
    EXPECT_EQ(back.fileCount(), 255);
}

TEST(Projekt, LexProjectAlwaysCompilesScannerOutput)
{
    test::TempDir dir;
    writeFile(dir / "s.lye", "1\r\n-1\r\n0\r\n0\r\n0\r\n0\r\n\r\nother.c\r\n");
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "s.lye", false, ui);
    p.setSaveOnClose(false);
    EXPECT_EQ(paths::fileName(p.getCSource()), "lexyy.cpp");
    EXPECT_EQ(p.getCSource(), p.lexOutputFile());
    EXPECT_EQ(p.executableName(), dir / "lexyy.exe");

    Projekt fresh(dir / "t.lye", true, ui);
    fresh.setSaveOnClose(false);
    EXPECT_EQ(fresh.getCSource(), fresh.lexOutputFile());
}

TEST(Projekt, CSourceSettings)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "c.lyy", true, ui);
    p.setCSource(dir / "main.c");
    EXPECT_FALSE(p.isDefaultCSource());
    EXPECT_EQ(p.executableName(), dir / "main.exe");
    ASSERT_TRUE(p.save());
    EXPECT_EQ(readFile(dir / "c.lyy"), "-1\r\n-1\r\n0\r\n0\r\n0\r\n0\r\n\r\nmain.c\r\n");
    p.setDefaultCSource();
    EXPECT_TRUE(p.isDefaultCSource());
    EXPECT_EQ(p.getCSource(), dir / "c.cpp");
}

TEST(Projekt, OpenForUseInDebugMode)
{
    struct Case { bool tokenFile; int32_t yaccStamp; std::vector<std::string> names; };
    const Case cases[] = {{false, -1, {}}, {true, 99, {"NUM", "ID"}}};
    for (const Case& c : cases) {
        test::TempDir dir;
        writeFile(dir / "d.lyy", "42\r\n99\r\n1\r\n0\r\n1\r\n0\r\n\r\n");
        if (c.tokenFile)
            writeFile(dir / "d.lex", "# define NUM 257\n# define ID 258\n");
        FixedAnswerUi ui(kNo, nullptr);
        Projekt p(dir / "d.lyy", false, ui);
        p.setSaveOnClose(false);
        EXPECT_EQ(p.yaccStamp(), 99);  // construction alone leaves the stamps
        p.openForUse();
        EXPECT_EQ(p.lexStamp(), 42);
        EXPECT_EQ(p.yaccStamp(), c.yaccStamp);
        EXPECT_EQ(p.tokenNames(), c.names);
    }
}

TEST(Projekt, ArgumentHistoryFollowsOpenAndClose)
{
    test::TempDir dir;
    writeFile(dir / "h.arg", "b.txt\r\na.txt\r\n");
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "h.lyy", true, ui);
    p.openForUse();
    EXPECT_EQ(p.argumentHistory().items(), (std::vector<std::string>{"b.txt", "a.txt"}));
    p.argumentHistory().add("c.txt");
    p.closeForUse();
    EXPECT_TRUE(p.argumentHistory().items().empty());
    EXPECT_EQ(readFile(dir / "h.arg"), "c.txt\r\nb.txt\r\na.txt\r\n");
}

TEST(Projekt, FailedSaveReportsAndKeepsTheOldFile)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "f.lyy", true, ui);
    ASSERT_TRUE(p.save());
    const std::string before = readFile(dir / "f.lyy");

    p.setRunArguments(std::string(300, 'x'));  // could not be read back
    EXPECT_FALSE(p.save());
    EXPECT_EQ(ui.messagesShown(), 1);
    EXPECT_EQ(ui.lastMessage(), "Nie je možné zapísať projekt súbor " + (dir / "f.lyy"));
    EXPECT_EQ(readFile(dir / "f.lyy"), before);
    p.setSaveOnClose(false);
}

TEST(Projekt, SaveIntoVanishedDirectoryReports)
{
    test::TempDir dir;
    const std::string sub = dir / "gone/";
    ::mkdir(sub.c_str(), 0777);
    FixedAnswerUi ui(kNo, nullptr);
    auto p = std::make_unique<Projekt>(sub + "g.lye", true, ui);
    std::system(("rm -rf '" + sub + "'").c_str());
    p.reset();  // destruction tries to save
    EXPECT_EQ(ui.messagesShown(), 1);
    EXPECT_EQ(ui.lastMessage(), "Nie je možné zapísať projekt súbor " + sub + "g.lye");
}

TEST(Projekt, ProjectSinksNameTheSpecifications)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "calc.lyy", true, ui);
    p.setSaveOnClose(false);
    p.sinks().lexError("chyba", 12);
    p.sinks().yaccError("chyba", -1);
    p.sinks().lexWarning("pozor", 3);
    EXPECT_EQ(p.sinks().errors(), (std::vector<std::string>{"[DUQ - LEX Chyba] calc.l(12): chyba",
                                                            "[DUQ - YACC Chyba] calc.y: chyba",
                                                            "[DUQ - LEX Upozornenie] calc.l(3): pozor"}));
    EXPECT_EQ(p.sinks().errorCounter(), "2");
    EXPECT_EQ(p.sinks().warningCounter(), "1");
}

TEST(Projekt, RelativeProjectNameIsTakenAgainstCurrentDirectory)
{
    test::TempDir dir;
    char old[4096];
    ASSERT_NE(::getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    FixedAnswerUi ui(kNo, nullptr);
    {
        Projekt p("rel.lyy", true, ui);
        EXPECT_EQ(p.projectFile(), dir / "rel.lyy");
        EXPECT_EQ(p.projectDir(), dir.path());
    }
    ASSERT_EQ(::chdir(old), 0);
    EXPECT_TRUE(exists(dir / "rel.lyy"));
}
