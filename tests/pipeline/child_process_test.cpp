#include "pipeline_fixture.h"

#include "vork/project/child_process.h"

#include <chrono>
#include <thread>

namespace vork {
namespace {

int waitForExit(ChildProcess& p)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int code;
    while ((code = p.exitCode()) == ChildProcess::kStillActive && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return code;
}

// Each script is halted after haltAfterMs (never when negative); a process
// that has already ended keeps its own code.
TEST(ChildProcess, ReportsExitCodesSignalsAndHalts)
{
    struct Case { const char* script; int haltAfterMs; int expected; };
    const Case cases[] = {
        {"exit 0", -1, 0},
        {"exit 3", -1, 3},
        {"kill -KILL $$", -1, 128 + 9},
        {"kill -SEGV $$", -1, 128 + 11},
        {"trap '' TERM; while :; do sleep 0.05; done", 100, ChildProcess::kHaltedExitCode},
        {"exit 9", 200, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        ChildProcess p;
        std::string error;
        ASSERT_TRUE(p.start({"/bin/sh", "-c", c.script}, {}, error)) << error;
        if (c.haltAfterMs >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(c.haltAfterMs));
            p.halt(std::chrono::milliseconds(300));
        }
        EXPECT_EQ(waitForExit(p), c.expected);
        EXPECT_FALSE(p.active());
    }
}

} // namespace
} // namespace vork
