#include "vork/project/project_file.h"

#include "vork/project/project_error.h"
#include "vork/project/projekt.h"

#include "test_dir.h"

#include <gtest/gtest.h>

using namespace vork;

namespace {

std::string lf(std::string s)
{
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
}

std::string members(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "m" + std::to_string(i) + ".c\r\n";
    return s;
}

} // namespace

TEST(ProjectFile, WritesEveryLineWithCrLfAndReadsItBack)
{
    ProjectFileData d;
    d.lexStamp = 1483374721;
    d.yaccStamp = -1;
    d.debugMode = true;
    d.defaultCSource = false;
    d.alwaysCompile = true;
    d.runArguments = "test.txt";
    d.memberFiles = {"util.c", "sub/name.c"};
    d.cSourceFile = "main.c";
    std::string bytes;
    ASSERT_TRUE(serializeProjectFile(d, bytes));
    EXPECT_EQ(bytes, "1483374721\r\n-1\r\n1\r\n2\r\n0\r\n1\r\ntest.txt\r\nutil.c\r\nsub/name.c\r\nmain.c\r\n");

    // Read back from the CR LF bytes and from the same text with LF only.
    for (const std::string& text : {bytes, lf(bytes)}) {
        SCOPED_TRACE(text == bytes ? "CR LF" : "LF");
        ProjectFileData back;
        ASSERT_TRUE(parseProjectFile(text, back));
        // Writing what was read gives the same bytes, so every field came back.
        std::string again;
        ASSERT_TRUE(serializeProjectFile(back, again));
        EXPECT_EQ(again, bytes);
    }
}

// Every file is opened as a project: a file that does not parse fails the
// construction with the format message and is left as it was.
TEST(ProjectFile, AcceptsAndRejects)
{
    const std::string head = "5\r\n6\r\n0\r\n";
    const std::string line255(255, 'a');
    struct Case { const char* name; std::string bytes; bool ok; };
    const Case cases[] = {
        {"255 members", head + "255\r\n1\r\n0\r\n\r\n" + members(255), true},
        {"256 members announced", head + "256\r\n1\r\n0\r\n\r\n" + members(256), false},
        {"fewer members than announced", head + "3\r\n1\r\n0\r\n\r\n" + members(2), false},
        {"255-character line", head + "1\r\n1\r\n0\r\n\r\n" + line255 + "\r\n", false},
        {"255-character arguments", head + "0\r\n1\r\n0\r\n" + line255 + "\r\n", false},
        {"flag line holding 2", "5\r\n6\r\n2\r\n0\r\n1\r\n0\r\n\r\n", false},
        {"non-numeric stamp", "x5\r\n6\r\n0\r\n0\r\n1\r\n0\r\n\r\n", false},
        {"stamp out of range", "4294967296\r\n6\r\n0\r\n0\r\n1\r\n0\r\n\r\n", false},
        {"missing C source line", head + "0\r\n0\r\n0\r\n\r\n", false},
        {"last line without line end", head + "1\r\n1\r\n0\r\nargs\r\nutil.c", true},
        {"negative count reads no members", head + "-4\r\n1\r\n0\r\nargs\r\n", true},
        // An editor that marks UTF-8 (the old Notepad) puts a mark in front.
        {"UTF-8 byte order mark in front", "\xEF\xBB\xBF" + head + "1\r\n1\r\n0\r\nargs\r\nutil.c\r\n", true},
        {"byte order mark inside", "5\r\n\xEF\xBB\xBF" "6\r\n0\r\n0\r\n1\r\n0\r\n\r\n", false},
    };
    test::TempDir dir;
    const std::string file = dir / "p.lyy";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(file, c.bytes);
        FixedAnswerUi ui(FixedAnswerUi::Answer::Yes, nullptr);
        std::string failure;
        try {
            Projekt p(file, false, ui);
            p.setSaveOnClose(false);
        } catch (const ProjectError& e) {
            failure = e.what();
        }
        EXPECT_EQ(failure, c.ok ? "" : "Zlý formát projekt súboru " + file);
        EXPECT_EQ(test::readFile(file), c.bytes);
        EXPECT_FALSE(test::exists(dir / "p.l"));
    }
}

TEST(ProjectFile, BlankAfterSixthValueShiftsTheLines)
{
    // The one character skipped after the sixth value is the blank, so the
    // arguments read as the empty rest of that line and the real arguments
    // line becomes the first member.
    ProjectFileData d;
    ASSERT_TRUE(parseProjectFile("1\r\n2\r\n0\r\n1\r\n1\r\n0 \r\nin.txt\r\nutil.c\r\n", d));
    EXPECT_EQ(d.runArguments, "");
    EXPECT_EQ(d.memberFiles, std::vector<std::string>{"in.txt"});
}
