#include "vork/project/token_names.h"

#include <gtest/gtest.h>

using namespace vork;

TEST(TokenNames, ReadsDefineLines)
{
    struct Case { const char* name; std::string text; std::vector<std::string> want; };
    const Case cases[] = {
        {"generated file", "# define NUM 257\n# define ID 258\n", {"NUM", "ID"}},
        {"CR LF and no blank", "#define PLUS 259\r\n#define MINUS 260\r\n", {"PLUS", "MINUS"}},
        {"text before the first #", "/* tokens */\n# define A 257\n", {"A"}},
        {"no # at all", "define A 257\n", {}},
        {"missing code", "# define A\n# define B 258\n", {"A", "B"}},
        {"long name kept whole", "# define " + std::string(80, 'T') + " 257\n", {std::string(80, 'T')}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseTokenNames(c.text), c.want) << c.name;
}
