#include "pipeline_fixture.h"

#include "vork/project/command_line.h"

namespace vork {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, GivesTheWindowsWords)
{
    struct Case { const char* line; Words words; };
    const Case cases[] = {
        {"", {}},
        {" \t ", {}},
        {"vork-cc calc.cpp", {"vork-cc", "calc.cpp"}},
        // The compiler path and the source are joined by one blank and
        // never quoted: a path with blanks falls apart.
        {"/opt/my cc/bin/cc /home/a b/calc.cpp", {"/opt/my", "cc/bin/cc", "/home/a", "b/calc.cpp"}},
        {"a\t\tb  c ", {"a", "b", "c"}},
        {"\"/opt/my cc/cc\" x.cpp", {"/opt/my cc/cc", "x.cpp"}},
        {"pre\"fix mid\"dle end", {"prefix middle", "end"}},
        {"\"\" x", {"", "x"}},
        {"\"unterminated group", {"unterminated group"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a\\\"b", {"a\"b"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"C:\\dir\\file.txt \\\\server\\x", {"C:\\dir\\file.txt", "\\\\server\\x"}},
        {"$HOME *.txt ;ls", {"$HOME", "*.txt", ";ls"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitCommandLine(c.line), c.words) << c.line;
}

TEST(QuoteArgument, RoundTripsThroughTheSplitter)
{
    const Words table[] = {
        {"plain"},
        {"with blank", "tab\there"},
        {""},
        {"quote\"inside", "ends with\\", "\\\"mixed\\\\\""},
        {"trailing slash dir\\", "x"},
    };
    for (const Words& words : table)
        EXPECT_EQ(splitCommandLine(joinArguments(words)), words) << joinArguments(words);
}

TEST(FindProgram, LooksInPathThenInTheFallbackDirectory)
{
    test::TempDir dir;
    ::mkdir((dir / "a").c_str(), 0755);
    ::mkdir((dir / "b").c_str(), 0755);
    ::mkdir((dir / "prog").c_str(), 0755);
    test::makeExecutable(dir / "b/tool", "#!/bin/sh\n");
    test::makeExecutable(dir / "prog/own", "#!/bin/sh\n");
    test::writeFile(dir / "a/tool", "not executable");
    ::mkdir((dir / "a/dirtool").c_str(), 0755);

    const std::string path = dir / "a" + ":" + dir / "b";
    struct Case {
        std::string word;
        std::string found;
    } cases[] = {
        {"tool", dir / "b/tool"},       // a/tool is not executable
        {"own", dir / "prog/own"},       // only next to the program
        {"missing", ""},
        {"dirtool", ""},                 // a directory is no program
        {dir / "b/tool", dir / "b/tool"},  // a path is taken as it is
        {dir / "a/tool", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findProgram(c.word, path, dir / "prog"), c.found) << c.word;
}

} // namespace
} // namespace vork
