#include "vork/project/projekt.h"

#include "vork/project/project_error.h"
#include "vork/project/paths.h"
#include "vork/project/atomic_file.h"
#include "vork/project/templates.h"

#include "test_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace vork;
using vork::test::exists;
using vork::test::readFile;
using vork::test::writeFile;

namespace {

constexpr FixedAnswerUi::Answer kYes = FixedAnswerUi::Answer::Yes;
constexpr FixedAnswerUi::Answer kNo = FixedAnswerUi::Answer::No;

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

TEST(Projekt, KindFromExactExtension)
{
    struct Case { const char* name; ProjectKind kind; };
    const Case cases[] = {
        {"a.lye", kLexProject}, {"a.lyy", kLexYaccProject}, {"a.ly", kGeneralProject}, {"P.LYE", kGeneralProject},
    };
    for (const Case& c : cases)
        EXPECT_EQ(projectKindOf(std::string("/d/") + c.name), c.kind) << c.name;
}

// Members are stored relative to the project directory, read back absolute.
TEST(Projekt, SaveWritesTheFileAndReopens)
{
    test::TempDir dir;
    FixedAnswerUi ui(kNo, nullptr);
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
              "1234\r\n5678\r\n0\r\n3\r\n1\r\n0\r\ntest.txt\r\nutil.c\r\nsub/name.c\r\n../../elsewhere/lib.c\r\n");

    Projekt back(dir / "calc.lyy", false, ui);
    back.setSaveOnClose(false);
    EXPECT_EQ(back.lexStamp(), 1234);
    EXPECT_EQ(back.jalArgument(), "test.jal");
    EXPECT_EQ(back.memberFiles(), (std::vector<std::string>{dir / "util.c", dir / "sub/name.c", "/elsewhere/lib.c"}));
    EXPECT_EQ(ui.questionsAsked(), 0);
}

TEST(Projekt, JalArgumentFromRunArguments)
{
    struct Case { const char* args; const char* jal; };
    const Case cases[] = {{"", ".jal"}, {"in.txt", "in.jal"}, {"a.b.c", "a.jal"}, {"-x file", "-x file.jal"}};
    for (const Case& c : cases)
        EXPECT_EQ(Projekt::jalArgumentFor(c.args), c.jal) << c.args;
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
    struct Case { FixedAnswerUi::Answer answer; bool created; const char* failure; };
    for (const Case& c : {Case{kYes, true, ""}, Case{kNo, false, "Projekt zruseny! "}}) {
        SCOPED_TRACE(c.created);
        test::TempDir dir;
        FixedAnswerUi ui(c.answer, nullptr);
        bool cancelled = false;
        EXPECT_EQ(failureOf(dir / "n.lyy", false, ui, &cancelled), c.failure);
        EXPECT_EQ(cancelled, !c.created);
        EXPECT_EQ(ui.questionsAsked(), 1);
        EXPECT_EQ(exists(dir / "n.l"), c.created);
        EXPECT_EQ(exists(dir / "n.y"), c.created);
    }
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
}

TEST(Projekt, LexProjectAlwaysCompilesScannerOutput)
{
    test::TempDir dir;
    writeFile(dir / "s.lye", "1\r\n-1\r\n0\r\n0\r\n0\r\n0\r\n\r\nother.c\r\n");
    FixedAnswerUi ui(kNo, nullptr);
    Projekt p(dir / "s.lye", false, ui);
    p.setSaveOnClose(false);
    EXPECT_EQ(p.getCSource(), dir / "lexyy.cpp");
    EXPECT_EQ(p.executableName(), dir / "lexyy.exe");
}

// Opening for use in debug mode loads the token names; without a token
// file the grammar stamp is forgotten so that the next build writes one.
TEST(Projekt, OpenForUseInDebugMode)
{
    struct Case { bool tokenFile; int32_t yaccStamp; std::vector<std::string> names; };
    const Case cases[] = {{false, -1, {}}, {true, 99, {"NUM", "ID"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tokenFile);
        test::TempDir dir;
        writeFile(dir / "d.lyy", "42\r\n99\r\n1\r\n0\r\n1\r\n0\r\n\r\n");
        if (c.tokenFile)
            writeFile(dir / "d.lex", "# define NUM 257\n# define ID 258\n");
        FixedAnswerUi ui(kNo, nullptr);
        Projekt p(dir / "d.lyy", false, ui);
        p.setSaveOnClose(false);
        p.openForUse();
        EXPECT_EQ(p.lexStamp(), 42);
        EXPECT_EQ(p.yaccStamp(), c.yaccStamp);
        EXPECT_EQ(p.tokenNames(), c.names);
    }
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

// A new project over sources already there keeps them, says so once per
// file, and writes the templates that are missing.
TEST(Projekt, NewProjectKeepsSourcesAlreadyThere)
{
    enum Pre { kFile, kDirectory, kLinkToFile };
    struct Case {
        const char* name;
        std::string project;
        bool createNew;
        std::vector<std::pair<std::string, Pre>> there;  // made before the construction
        std::string failure;                             // "" for success
        std::vector<std::string> messages;
        std::vector<std::string> templates;              // files that must hold a template afterwards
    };
    const std::string kept = " už existuje, ponechaný bez zmeny.";
    const Case cases[] = {
        {"grammar kept, scanner written", "calc.lyy", true, {{"calc.y", kFile}}, "", {"Súbor calc.y" + kept},
         {"calc.l"}},
        {"both kept after a Yes", "calc.ly", false, {{"calc.l", kFile}, {"calc.y", kFile}}, "",
         {"Súbor calc.l" + kept, "Súbor calc.y" + kept}, {}},
        {"LEX project", "calc.lye", true, {{"calc.l", kFile}}, "", {"Súbor calc.l" + kept}, {}},
        {"a link to a file is a file", "calc.lyy", true, {{"calc.l", kLinkToFile}}, "", {"Súbor calc.l" + kept},
         {"calc.y"}},
        {"a directory is no source", "calc.lyy", true, {{"calc.l", kDirectory}}, "Nie je možné vytvoriť súbor ",
         {}, {}},
        {"an existing project file is read", "calc.lyy", true,
         {{"calc.lyy", kFile}, {"calc.l", kFile}, {"calc.y", kFile}}, "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        for (const auto& [file, pre] : c.there) {
            if (pre == kDirectory) {
                ASSERT_EQ(::mkdir((dir / file).c_str(), 0700), 0);
            } else if (pre == kLinkToFile) {
                writeFile(dir / "target", "the user's " + file);
                ASSERT_EQ(::symlink((dir / "target").c_str(), (dir / file).c_str()), 0);
            } else {
                writeFile(dir / file, file == c.project ? "-1\r\n-1\r\n0\r\n0\r\n1\r\n0\r\n\r\n" : "the user's " + file);
            }
        }
        FixedAnswerUi ui(kYes, nullptr);
        try {
            Projekt p(dir / c.project, c.createNew, ui);
            p.setSaveOnClose(false);
            EXPECT_EQ(c.failure, "");
            EXPECT_EQ(p.creationMessages(), c.messages);
        } catch (const ProjectError& e) {
            EXPECT_EQ(e.what(), c.failure + (dir / c.there.front().first));
            EXPECT_FALSE(exists(dir / "calc.y")) << "the grammar comes after the scanner";
        }
        for (const auto& [file, pre] : c.there) {
            if (pre != kDirectory && file != c.project) {
                EXPECT_EQ(readFile(dir / file), "the user's " + file);
            }
        }
        for (const std::string& file : c.templates) {
            const std::string text = file == "calc.l" ? lexTemplate() : yaccTemplate("lexyy.cpp");
            EXPECT_EQ(readFile(dir / file), toCrLf(text)) << file;
        }
    }
}
