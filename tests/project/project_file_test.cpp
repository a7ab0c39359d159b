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
        EXPECT_EQ(back.lexStamp, d.lexStamp);
        EXPECT_EQ(back.yaccStamp, d.yaccStamp);
        EXPECT_EQ(back.debugMode, d.debugMode);
        EXPECT_EQ(back.defaultCSource, d.defaultCSource);
        EXPECT_EQ(back.alwaysCompile, d.alwaysCompile);
        EXPECT_EQ(back.runArguments, d.runArguments);
        EXPECT_EQ(back.memberFiles, d.memberFiles);
        EXPECT_EQ(back.cSourceFile, d.cSourceFile);
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
    const std::string line254(254, 'a');
    const std::string line255(255, 'a');
    struct Case { const char* name; std::string bytes; bool ok; };
    const Case cases[] = {
        {"255 members", head + "255\r\n1\r\n0\r\n\r\n" + members(255), true},
        {"256 members announced", head + "256\r\n1\r\n0\r\n\r\n" + members(256), false},
        {"fewer members than announced", head + "3\r\n1\r\n0\r\n\r\n" + members(2), false},
        {"254-character line", head + "1\r\n1\r\n0\r\n\r\n" + line254 + "\r\n", true},
        {"255-character line", head + "1\r\n1\r\n0\r\n\r\n" + line255 + "\r\n", false},
        {"255-character arguments", head + "0\r\n1\r\n0\r\n" + line255 + "\r\n", false},
        {"flag line holding 2", "5\r\n6\r\n2\r\n0\r\n1\r\n0\r\n\r\n", false},
        {"defaultCSource holding 2", head + "0\r\n2\r\n0\r\n\r\n", false},
        {"non-numeric stamp", "x5\r\n6\r\n0\r\n0\r\n1\r\n0\r\n\r\n", false},
        {"stamp out of range", "4294967296\r\n6\r\n0\r\n0\r\n1\r\n0\r\n\r\n", false},
        {"lowest stamp", "-2147483648\r\n6\r\n0\r\n0\r\n1\r\n0\r\n\r\n", true},
        {"missing C source line", head + "0\r\n0\r\n0\r\n\r\n", false},
        {"file ends before the arguments", head + "0\r\n1\r\n0\r\n", false},
        {"last line without line end", head + "1\r\n1\r\n0\r\nargs\r\nutil.c", true},
        {"negative count reads no members", head + "-4\r\n1\r\n0\r\nargs\r\n", true},
        {"empty file", "", false},
    };
    test::TempDir dir;
    const std::string file = dir / "p.lyy";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFileData d;
        EXPECT_EQ(parseProjectFile(c.bytes, d), c.ok);

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

TEST(ProjectFile, ValuesThatCannotBeStoredRefuseToSerialize)
{
    struct Case { const char* name; std::string args; std::vector<std::string> members; };
    const Case cases[] = {
        {"arguments over 254", std::string(255, 'x'), {}},
        {"CR at the end of the arguments", "args\r", {}},
        {"line break in arguments", "a\nb", {}},
        {"member over 254", "", {std::string(255, 'm')}},
        {"256 members", "", std::vector<std::string>(256, "m.c")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProjectFileData d;
        d.runArguments = c.args;
        d.memberFiles = c.members;
        std::string out = "untouched";
        EXPECT_FALSE(serializeProjectFile(d, out));
        EXPECT_EQ(out, "untouched");
    }
}

TEST(ProjectFile, CarriageReturnInsideALineSurvives)
{
    ProjectFileData d;
    d.runArguments = "a\rb";
    std::string bytes;
    ASSERT_TRUE(serializeProjectFile(d, bytes));
    ProjectFileData back;
    ASSERT_TRUE(parseProjectFile(bytes, back));
    EXPECT_EQ(back.runArguments, "a\rb");
}
