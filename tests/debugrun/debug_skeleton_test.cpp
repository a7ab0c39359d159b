// The debug skeletons as installed next to the programs: each is a
// reporting prelude in front of the very engine of its normal skeleton.
#include "support.h"

#include <gtest/gtest.h>

TEST(DebugSkeletons, AreTheEngineWithAPrelude)
{
    struct Case {
        const char* debug;
        const char* engine;
        const char* mustDefine;
    };
    const Case cases[] = {
        {"lncform", "ncform", "#define YYDBG_CHAR"},
        {"lyaccpar", "yaccpar", "SemantickaAkcia(int line)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.debug);
        const std::string debug = drtest::readFile(std::string(VORK_BIN_DIR) + "/" + c.debug);
        const std::string engine = drtest::readFile(std::string(VORK_BIN_DIR) + "/" + c.engine);
        ASSERT_FALSE(engine.empty());
        ASSERT_GT(debug.size(), engine.size());
        EXPECT_EQ(debug.substr(debug.size() - engine.size()), engine);
        const std::string prelude = debug.substr(0, debug.size() - engine.size());
        EXPECT_NE(prelude.find(c.mustDefine), std::string::npos);
        // The parser generator splices the actions at the first marker
        // and refuses a second one: the prelude must not hold any.
        EXPECT_EQ(prelude.find('$'), std::string::npos);
    }
}
