#include "pipeline_fixture.h"

#include "vork/project/child_process.h"

#include <chrono>
#include <fcntl.h>
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
        {"exit 255", -1, 255},
        {"kill -KILL $$", -1, 128 + 9},
        {"kill -SEGV $$", -1, 128 + 11},
        {"exec sleep 30", 100, ChildProcess::kHaltedExitCode},
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

TEST(ChildProcess, StillActiveUntilReaped)
{
    ChildProcess p;
    std::string error;
    ASSERT_TRUE(p.start({"/bin/sh", "-c", "sleep 0.3; exit 4"}, {}, error));
    EXPECT_EQ(p.exitCode(), ChildProcess::kStillActive);
    EXPECT_TRUE(p.active());
    EXPECT_EQ(waitForExit(p), 4);
    // The code stays readable after the process is gone.
    EXPECT_EQ(p.exitCode(), 4);
}

TEST(ChildProcess, FailsToStartWithAReason)
{
    test::TempDir dir;
    test::writeFile(dir / "not-a-program", "plain text\n");
    ::chmod((dir / "not-a-program").c_str(), 0644);
    const std::vector<std::vector<std::string>> argvs = {
        {dir / "missing"}, {dir / "not-a-program"}, {dir.path()}, {""}};
    for (const auto& argv : argvs) {
        ChildProcess p;
        std::string error;
        EXPECT_FALSE(p.start(argv, {}, error)) << argv[0];
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(p.active());
    }
    ChildProcess p;
    std::string error;
    ChildProcess::Options options;
    options.workingDirectory = dir / "no-such-dir";
    EXPECT_FALSE(p.start({"/bin/true"}, options, error));
}

TEST(ChildProcess, CapturesOutputWithNoInputInTheWorkingDirectory)
{
    test::TempDir dir;
    const std::string capture = dir / "temp.spr";
    const int fd = ::open(capture.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ChildProcess p;
    ChildProcess::Options options;
    options.workingDirectory = dir.path();
    options.outputFd = fd;
    std::string error;
    ASSERT_TRUE(p.start({"/bin/sh", "-c", "pwd; echo err >&2; cat; echo after-cat"}, options, error));
    ::close(fd);
    EXPECT_EQ(waitForExit(p), 0);
    std::string cwd = dir.path();
    cwd.pop_back();
    EXPECT_EQ(test::readFile(capture), cwd + "\nerr\nafter-cat\n");
}

} // namespace
} // namespace vork
