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

struct ExitCase {
    const char* script;
    int expected;
};

TEST(ChildProcess, ReportsExitCodesAndSignals)
{
    const ExitCase cases[] = {
        {"exit 0", 0},
        {"exit 3", 3},
        {"exit 255", 255},
        {"kill -KILL $$", 128 + 9},
        {"kill -SEGV $$", 128 + 11},
    };
    for (const ExitCase& c : cases) {
        ChildProcess p;
        std::string error;
        ASSERT_TRUE(p.start({"/bin/sh", "-c", c.script}, {}, error)) << error;
        EXPECT_EQ(waitForExit(p), c.expected) << c.script;
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

TEST(ChildProcess, HaltReportsTheHaltCodeEvenWhenSigtermIsIgnored)
{
    const char* scripts[] = {"exec sleep 30", "trap '' TERM; while :; do sleep 0.05; done"};
    for (const char* script : scripts) {
        ChildProcess p;
        std::string error;
        ASSERT_TRUE(p.start({"/bin/sh", "-c", script}, {}, error));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        p.halt(std::chrono::milliseconds(300));
        EXPECT_EQ(waitForExit(p), ChildProcess::kHaltedExitCode) << script;
    }
}

TEST(ChildProcess, HaltAfterTheEndKeepsTheRealCode)
{
    ChildProcess p;
    std::string error;
    ASSERT_TRUE(p.start({"/bin/sh", "-c", "exit 9"}, {}, error));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    p.halt();
    EXPECT_EQ(waitForExit(p), 9);
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
