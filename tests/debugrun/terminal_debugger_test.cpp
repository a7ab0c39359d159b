// The --stop list: every named flag set, a bad list changing nothing.
#include "vork/debuglink/terminal_debugger.h"

#include <gtest/gtest.h>

using namespace vork::debuglink;

TEST(StopList, SetsEveryNamedFlag)
{
    struct Case {
        const char* list;
        bool ok;
        StepFlags flags;
        const char* bad;
    };
    auto f = [](bool sem, bool lex, bool err, bool red, bool shift, bool state, bool free) {
        StepFlags s;
        s.afterSemanticAction = sem;
        s.afterLexicalUnit = lex;
        s.afterSyntaxError = err;
        s.afterReduction = red;
        s.afterShift = shift;
        s.afterState = state;
        s.runFree = free;
        return s;
    };
    const Case cases[] = {
        {"red,sem", true, f(true, false, false, true, false, false, false), ""},
        {"err,shift,state", true, f(false, false, true, false, true, true, false), ""},
        {"free", true, f(false, false, false, false, false, false, true), ""},
        {"", false, {}, ""},
        {"red,", false, {}, ""},
        {"red,,sem", false, {}, ""},
        {"red,semantic", false, {}, "semantic"},
    };
    for (const Case& c : cases) {
        StepFlags flags = f(true, true, true, true, true, true, true);
        const StepFlags before = flags;
        std::string bad = "?";
        EXPECT_EQ(parseStopList(c.list, flags, bad), c.ok) << c.list;
        if (c.ok) {
            EXPECT_TRUE(flags == c.flags) << c.list;
        } else {
            EXPECT_TRUE(flags == before) << c.list << ": flags changed by a bad list";
            EXPECT_EQ(bad, c.bad) << c.list;
        }
    }
}
