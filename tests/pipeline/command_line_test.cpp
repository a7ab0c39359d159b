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

} // namespace
} // namespace vork
