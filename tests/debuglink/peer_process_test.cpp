// The generated compiler's end as a real program (the peer helper compiled
// into a small C program), against the communication thread: a whole run,
// no environment, and either side dying mid-run.
#include "support.h"

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/komvl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vork::debuglink;
using namespace dltest;

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos)
            nl = text.size();
        out.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return out;
}

class PeerProcess : public ::testing::Test {
protected:
    PrivateNames names;
    LogHost host;
};

} // namespace

TEST_F(PeerProcess, WholeRunIsAnswered)
{
    KomunVlakno t(host);
    host.attach(&t);
    Child peer({peerProgram(), "11", "8:3", "9:97", "3:4:2", "20:2", "12:0", "8:1"});
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterLexJed));
    ASSERT_EQ(peer.wait(10s), 0);
    // After AnalysisEnd's answer the program stops reporting.
    EXPECT_EQ(lines(peer.output()),
              (std::vector<std::string>{"reply 13", "reply 13", "reply 13", "reply 13", "reply 13", "reply 13", "free",
                                        "skip", "done"}));
    EXPECT_EQ(host.stops(), (std::vector<std::string>{"stopped@0", "stopped@3", "stopped@0"}));
    auto log = host.log();
    EXPECT_NE(std::find(log.begin(), log.end(), "show 3 4 2"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "show 9 97 0"), log.end());
}

TEST_F(PeerProcess, RunFreeAtAStopLetsTheProgramFinish)
{
    KomunVlakno t(host);
    host.attach(&t);
    Child peer({peerProgram(), "11", "8:3", "8:4", "12:0"});
    ASSERT_TRUE(t.waitSuspended(10s));
    t.stepCommand(StepCommand::BezKrok);
    ASSERT_TRUE(t.waitEnded(5s));
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(lines(peer.output()), (std::vector<std::string>{"reply 14", "free", "skip", "skip", "skip", "done"}));
    EXPECT_EQ(t.repliesSent(), 1u);
}

TEST_F(PeerProcess, NoEnvironmentMeansRunningFree)
{
    Child peer({peerProgram(), "11", "8:3", "12:0"});
    // The helper waits a bounded time for the environment, then goes on.
    ASSERT_EQ(peer.wait(20s), 0);
    EXPECT_EQ(lines(peer.output()), (std::vector<std::string>{"free", "skip", "skip", "done"}));
}

TEST_F(PeerProcess, PeerKilledWhileStopped)
{
    KomunVlakno t(host);
    host.attach(&t);
    Child peer({peerProgram(), "11", "12:0"});
    ASSERT_TRUE(t.waitSuspended(10s));
    peer.kill(SIGKILL);
    ASSERT_TRUE(peer.wait(5s).has_value());
    // What the process runner does when it sees the program's end.
    auto start = std::chrono::steady_clock::now();
    t.finish();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_TRUE(t.loopEnded());
    EXPECT_EQ(host.log().back(), "ended");
}

TEST_F(PeerProcess, PeerKilledWhileRunning)
{
    KomunVlakno t(host);
    host.attach(&t);
    Child peer({peerProgram(), "--delay-ms", "100000", "11", "8:1"});
    ASSERT_TRUE(t.waitSuspended(10s));
    t.stepCommand(StepCommand::AfterLexJed); // goes on; the peer sleeps
    std::this_thread::sleep_for(50ms);
    peer.kill(SIGKILL);
    ASSERT_TRUE(peer.wait(5s).has_value());
    EXPECT_FALSE(t.suspended());
    auto start = std::chrono::steady_clock::now();
    t.requestTermination();
    ASSERT_TRUE(t.waitEnded(3s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    t.finish();
    EXPECT_EQ(host.log().back(), "ended");
}

TEST_F(PeerProcess, EnvironmentKilledMidRunLetsThePeerFinishFree)
{
    // The environment lives in a child process that stops at AnalysisStart
    // and is then killed.
    int sync[2];
    ASSERT_EQ(pipe(sync), 0);
    pid_t env = fork();
    if (env == 0) {
        close(sync[0]);
        LogHost h;
        KomunVlakno t(h);
        bool stopped = t.waitSuspended(10s);
        char c = stopped ? 's' : 'x';
        if (write(sync[1], &c, 1) != 1)
            _exit(3);
        pause();
        _exit(0);
    }
    close(sync[1]);
    Child peer({peerProgram(), "11", "8:1", "12:0"});
    char c = 0;
    ASSERT_EQ(read(sync[0], &c, 1), 1);
    close(sync[0]);
    ASSERT_EQ(c, 's');
    kill(env, SIGKILL);
    ASSERT_EQ(waitpid(env, nullptr, 0), env);
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(lines(peer.output()), (std::vector<std::string>{"free", "skip", "skip", "done"}));
}

// Two debug runs while the environment stays open, on one debug panel.
TEST_F(PeerProcess, TwoRunsInARow)
{
    struct NoPrompts : DebugPrompts {
        bool askYesNo(const std::string&, const std::string&) override { return false; }
        void showError(const std::string&) override {}
    } prompts;
    GrammarText grammar{true, {"first"}, ""};
    DebugSession session("VORK", [&] { return grammar; }, prompts);
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        session.beginRun("VORK");
        KomunVlakno t(session);
        Child peer({peerProgram(), "11", "1", "5:7", "12:1"});
        ASSERT_TRUE(t.waitSuspended(10s)); // at AnalysisStart
        EXPECT_EQ(session.panel().trace(), std::vector<std::string>{"Start analyzy"});
        EXPECT_EQ(session.panel().grammar(), grammar.lines);
        t.stepCommand(StepCommand::AfterReduction);
        ASSERT_TRUE(stepThrough(t, StepCommand::AfterReduction));
        ASSERT_EQ(peer.wait(10s), 0);
        EXPECT_EQ(lines(peer.output()),
                  (std::vector<std::string>{"reply 13", "reply 13", "reply 13", "reply 13", "free", "done"}));
        EXPECT_EQ(session.panel().trace(), (std::vector<std::string>{"Start analyzy", "Syntakticka chyba !",
                                                                      "Syntaktická analýza skončila s chybou!"}));
        EXPECT_EQ(session.panel().stepLine(), "REDUKCIA: 7");
        t.finish();
        EXPECT_TRUE(session.ended());
        EXPECT_FALSE(names.exists(VORK_CHAN_BLOCK_NAME));
        grammar.lines = {"second", "run"};
    }
}

// The way a generated debug program is really built: vork-cc, which compiles
// it as C++ with the compatibility headers.
TEST_F(PeerProcess, BuiltWithVorkCc)
{
    char dir[] = "/tmp/vork-peer-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string src = std::string(dir) + "/peer.c";
    {
        std::ifstream in(std::string(VORK_SOURCE_DIR) + "/tests/debuglink/peer.c", std::ios::binary);
        std::ofstream out(src, std::ios::binary);
        out << in.rdbuf();
    }
    Child cc({"/bin/sh", std::string(VORK_BIN_DIR) + "/vork-cc", src});
    ASSERT_EQ(cc.wait(120s), 0);
    std::string exe = std::string(dir) + "/peer.exe";

    KomunVlakno t(host);
    host.attach(&t);
    Child peer({exe, "11", "7:9", "12:0"});
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterPosuny));
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(lines(peer.output()), (std::vector<std::string>{"reply 13", "reply 13", "reply 13", "free", "done"}));
    EXPECT_EQ(host.stops(), (std::vector<std::string>{"stopped@0", "stopped@9", "stopped@0"}));
    std::remove(exe.c_str());
    std::remove(src.c_str());
    rmdir(dir);
}

TEST_F(PeerProcess, Win32SubsetOnItsOwn)
{
    Child check({VORK_WIN_PEER_PROGRAM, "check"});
    ASSERT_EQ(check.wait(10s), 0) << check.output();
    for (const char* n : {"WP_EVENT", "WP_MAP"})
        shm_unlink(names.path(n).c_str());
}

TEST_F(PeerProcess, Win32PeerSpeaksTheChannel)
{
    KomunVlakno t(host);
    host.attach(&t);
    Child peer({VORK_WIN_PEER_PROGRAM, "11", "3:4:2", "12:1"});
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterBadSyntax));
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(lines(peer.output()), (std::vector<std::string>{"reply 13", "reply 13", "reply 13", "done"}));
    auto log = host.log();
    EXPECT_NE(std::find(log.begin(), log.end(), "show 3 4 2"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "show 12 1 0"), log.end());
}

TEST_F(PeerProcess, LeftoversOfACrashedEnvironmentAreNoReadySignal)
{
    // An environment that signalled "ready" and died without cleaning up.
    pid_t crashed = fork();
    if (crashed == 0) {
        vork_event to, from;
        vork_shm block;
        if (vork_event_open(&to, VORK_CHAN_EVENT_TO_PEER, VORK_CHAN_CREATE | VORK_CHAN_OWNER, 1, 0) ||
            vork_event_open(&from, VORK_CHAN_EVENT_FROM_PEER, VORK_CHAN_CREATE | VORK_CHAN_OWNER, 1, 0) ||
            vork_shm_open(&block, VORK_CHAN_BLOCK_NAME, VORK_CHAN_BLOCK_SIZE, VORK_CHAN_CREATE))
            _exit(2);
        vork_chan_put32(block.addr, VORK_CHAN_OFF_REPLY, 14); // a stale answer too
        vork_event_set(&to);
        vork_event_set(&from);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(crashed, &status, 0), crashed);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // The program starts before the new environment does.
    Child peer({peerProgram(), "11", "8:4", "12:0"});
    std::this_thread::sleep_for(100ms);
    KomunVlakno t(host);
    host.attach(&t);
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterLexJed));
    ASSERT_EQ(peer.wait(10s), 0);
    EXPECT_EQ(lines(peer.output()), (std::vector<std::string>{"reply 13", "reply 13", "reply 13", "free", "done"}));
    EXPECT_EQ(host.stops(), (std::vector<std::string>{"stopped@0", "stopped@4", "stopped@0"}));
}
