// The communication thread against an in-process peer speaking the raw
// protocol: which records stop the run, what is answered, how the loop ends.
#include "support.h"

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/komvl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

using namespace vork::debuglink;
using namespace dltest;

namespace {

class KomunTest : public ::testing::Test {
protected:
    PrivateNames names;
    LogHost host;
};

// Value 1 of every scripted record is 100 + its position, so a stop names
// the record it happened at.
std::vector<Step> numbered(const std::vector<uint32_t>& kinds)
{
    std::vector<Step> s;
    for (size_t i = 0; i < kinds.size(); ++i)
        s.push_back({kinds[i], static_cast<int32_t>(100 + i), 0});
    return s;
}

std::vector<std::string> stopsAt(const std::vector<Step>& script, const std::vector<size_t>& positions)
{
    std::vector<std::string> out;
    for (size_t p : positions)
        out.push_back("stopped@" + std::to_string(script[p].v1));
    return out;
}

} // namespace

TEST_F(KomunTest, WithNoStopFlagOnlyStartAndEndStop)
{
    // Every record kind once, between AnalysisStart and AnalysisEnd.
    auto script = numbered({11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 12});
    KomunVlakno t(host);
    host.attach(&t);
    ScriptPeer peer(script);
    // AnalysisStart: leave the flags as they are (a plain resume), so they
    // stay all false for the records in between.
    ASSERT_TRUE(t.waitSuspended(5s));
    t.resume();
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterStav));
    peer.join();

    EXPECT_EQ(host.stops(), stopsAt(script, {0, script.size() - 1}));
    EXPECT_EQ(peer.replies(), std::vector<uint32_t>(script.size(), 13u));
    // Every kind but State is displayed, in order; the end handler last.
    auto log = host.log();
    std::vector<std::string> shown;
    for (const auto& s : log)
        if (s.rfind("show ", 0) == 0)
            shown.push_back(s.substr(5, s.find(' ', 5) - 5));
    EXPECT_EQ(shown, (std::vector<std::string>{"11", "1", "2", "3", "4", "5", "7", "8", "9", "10", "20", "12"}));
    EXPECT_EQ(log.back(), "ended");
    EXPECT_EQ(t.repliesSent(), script.size());
}

TEST_F(KomunTest, EachStepCommandStopsAfterItsKindOnly)
{
    struct Case {
        StepCommand command;
        uint32_t stopKind;
    };
    const Case cases[] = {
        {StepCommand::AfterLexJed, 8},    {StepCommand::AfterSemAction, 20}, {StepCommand::AfterBadSyntax, 1},
        {StepCommand::AfterReduction, 5}, {StepCommand::AfterPosuny, 7},     {StepCommand::AfterStav, 6},
    };
    const std::vector<uint32_t> middle = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.command));
        PrivateNames own;
        LogHost h;
        std::vector<uint32_t> kinds = {11};
        kinds.insert(kinds.end(), middle.begin(), middle.end());
        kinds.push_back(12);
        auto script = numbered(kinds);
        KomunVlakno t(h);
        h.attach(&t);
        ScriptPeer peer(script);
        ASSERT_TRUE(stepThrough(t, c.command));
        peer.join();
        size_t at = 1 + static_cast<size_t>(std::find(middle.begin(), middle.end(), c.stopKind) - middle.begin());
        EXPECT_EQ(h.stops(), stopsAt(script, {0, at, script.size() - 1}));
        EXPECT_EQ(peer.replies(), std::vector<uint32_t>(script.size(), 13u));
    }
}

TEST_F(KomunTest, NonRecordKindsAreNeitherShownNorAnswered)
{
    KomunVlakno t(host);
    host.attach(&t);
    RawPeer peer;
    ASSERT_TRUE(peer.ok());
    ASSERT_TRUE(peer.waitReady(5000));
    vork_chan_put32(peer.block(), VORK_CHAN_OFF_REPLY, 0xABCDu);
    for (uint32_t kind : {0u, 13u, 14u, 19u, 21u, 255u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(kind);
        EXPECT_FALSE(peer.send(kind, 1, 2, 400).has_value());
        EXPECT_EQ(vork_chan_get32(peer.block(), VORK_CHAN_OFF_REPLY), 0xABCDu);
    }
    EXPECT_TRUE(host.log().empty());
    EXPECT_EQ(t.repliesSent(), 0u);
    // The channel still works afterwards.
    std::vector<std::optional<uint32_t>> replies;
    std::thread rest([&] {
        replies.push_back(peer.send(11, 1, 0, 5000));
        replies.push_back(peer.send(12, 0, 0, 5000));
    });
    bool stepped = stepThrough(t, StepCommand::AfterLexJed);
    rest.join();
    ASSERT_TRUE(stepped);
    EXPECT_EQ(replies, (std::vector<std::optional<uint32_t>>{13u, 13u}));
}

TEST_F(KomunTest, RunFreeAnswers14OnceAndEndsTheThread)
{
    KomunVlakno t(host);
    host.attach(&t);
    RawPeer peer;
    ASSERT_TRUE(peer.ok());
    ASSERT_TRUE(peer.waitReady(5000));
    std::optional<uint32_t> first;
    std::thread sender([&] { first = peer.send(11, 1, 0, 5000); });
    ASSERT_TRUE(t.waitSuspended(5s));
    t.stepCommand(StepCommand::BezKrok);
    sender.join();
    ASSERT_EQ(first, 14u);
    ASSERT_TRUE(t.waitEnded(5s));
    EXPECT_TRUE(t.answeredRunFree());
    EXPECT_FALSE(t.flags().runFree); // cleared when the 14 went out
    // Records after the 14 are never read.
    EXPECT_FALSE(peer.send(8, 5, 0, 400).has_value());
    EXPECT_EQ(t.repliesSent(), 1u);
    auto log = host.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "show 8 5 0"), 0);
    EXPECT_EQ(log.back(), "ended");
}

TEST_F(KomunTest, CommandBeforeStartOnlyPresetsTheFlags)
{
    auto script = numbered({11, 8, 5, 8, 12});
    KomunVlakno t(host);
    host.attach(&t);
    t.stepCommand(StepCommand::AfterReduction); // before anything arrived
    ScriptPeer peer(script);
    ASSERT_TRUE(t.waitSuspended(5s));
    EXPECT_EQ(host.stops(), stopsAt(script, {0}));
    t.resume();
    ASSERT_TRUE(stepThrough(t, StepCommand::AfterReduction));
    peer.join();
    EXPECT_EQ(host.stops(), stopsAt(script, {0, 2, 4}));
}

TEST_F(KomunTest, BezKrokKeepsTheStopFlags)
{
    KomunVlakno t(host);
    t.stepCommand(StepCommand::AfterPosuny);
    t.stepCommand(StepCommand::BezKrok);
    StepFlags expected;
    expected.afterShift = true;
    expected.runFree = true;
    EXPECT_EQ(t.flags(), expected);
    t.finish();
}

TEST_F(KomunTest, TerminationIsSeenAtTheNextTimeOut)
{
    KomunVlakno t(host);
    ASSERT_FALSE(t.waitEnded(50ms));
    auto start = std::chrono::steady_clock::now();
    t.requestTermination();
    ASSERT_TRUE(t.waitEnded(3s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    t.finish();
    EXPECT_EQ(host.log(), std::vector<std::string>{"ended"});
    // The thread removed its objects.
    EXPECT_FALSE(names.exists(VORK_CHAN_BLOCK_NAME));
    EXPECT_FALSE(names.exists(VORK_CHAN_EVENT_TO_PEER));
    EXPECT_FALSE(names.exists(VORK_CHAN_EVENT_FROM_PEER));
}

TEST_F(KomunTest, FinishWhileStoppedAnswersAndEnds)
{
    KomunVlakno t(host);
    host.attach(&t);
    RawPeer peer;
    ASSERT_TRUE(peer.waitReady(5000));
    std::optional<uint32_t> reply;
    std::thread sender([&] { reply = peer.send(11, 0, 0, 5000); });
    ASSERT_TRUE(t.waitSuspended(5s));
    t.finish(); // the owner's end of the run
    sender.join();
    EXPECT_EQ(reply, 13u); // written, whether anyone reads it or not
    EXPECT_TRUE(t.loopEnded());
    EXPECT_EQ(host.log().back(), "ended");
}

// The owner's resume can come just before a stop (the last record of a
// dying program); its termination request must still end the loop.
TEST_F(KomunTest, TerminationReleasesAStopThatCameAfterTheResume)
{
    KomunVlakno t(host);
    RawPeer peer;
    ASSERT_TRUE(peer.waitReady(5000));
    std::optional<uint32_t> reply;
    std::thread sender([&] { reply = peer.send(11, 0, 0, 5000); });
    ASSERT_TRUE(t.waitSuspended(5s));
    t.requestTermination(); // no resume
    EXPECT_TRUE(t.waitEnded(5s));
    sender.join();
    EXPECT_EQ(reply, 13u);
}

// A step command can come as soon as the stopped display has enabled the
// commands, before the worker has suspended itself: it must still let the
// run go on.  Here every stop is answered from inside its display.
TEST_F(KomunTest, CommandDuringTheStoppedDisplayIsNotLost)
{
    class EagerHost : public LogHost {
    public:
        void showStopped() override
        {
            LogHost::showStopped();
            if (thread)
                thread->stepCommand(StepCommand::AfterReduction);
        }
        KomunVlakno* thread = nullptr;
    } eager;
    auto script = numbered({11, 8, 5, 5, 12});
    KomunVlakno t(eager);
    eager.thread = &t;
    eager.attach(&t);
    ScriptPeer peer(script);
    ASSERT_TRUE(t.waitEnded(10s)) << "a stop waited for a command that had already come";
    peer.join();
    EXPECT_EQ(peer.replies(), std::vector<uint32_t>(script.size(), 13u));
    EXPECT_EQ(eager.stops(), stopsAt(script, {0, 2, 3, 4}));
    EXPECT_FALSE(t.suspended());
    t.finish();
}

TEST_F(KomunTest, BlockThatCannotBeCreatedIsReportedAndEndsTheThread)
{
    // A directory where the block should be makes shm_open fail.
    std::string dir = "/dev/shm" + names.path(VORK_CHAN_BLOCK_NAME);
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ASSERT_EQ(shm_open(names.path(VORK_CHAN_BLOCK_NAME).c_str(), O_RDWR, 0), -1);
    const int code = errno;
    KomunVlakno t(host);
    ASSERT_TRUE(t.waitEnded(5s));
    t.finish();
    const std::string text = "Chyba pri vytváraní zdieľanej pamäti vork1000-zdiel (" + std::to_string(code) + ")";
    EXPECT_EQ(host.log(), (std::vector<std::string>{"error " + text, "ended"}));
    EXPECT_EQ(t.failure(), text);
    // The events made before the failure are gone again.
    EXPECT_FALSE(names.exists(VORK_CHAN_EVENT_TO_PEER));
    EXPECT_FALSE(names.exists(VORK_CHAN_EVENT_FROM_PEER));
}

TEST_F(KomunTest, EventThatCannotBeCreatedEndsTheThreadWithoutAMessage)
{
    std::string dir = "/dev/shm" + names.path(VORK_CHAN_EVENT_FROM_PEER);
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    KomunVlakno t(host);
    ASSERT_TRUE(t.waitEnded(5s));
    t.finish();
    EXPECT_EQ(host.log(), std::vector<std::string>{"ended"});
    EXPECT_FALSE(t.failure().empty());
    EXPECT_FALSE(names.exists(VORK_CHAN_EVENT_TO_PEER));
}

// The GUI's way: displays run on the thread that services the worker.
TEST_F(KomunTest, MainThreadModeRunsDisplaysOnTheServicingThread)
{
    struct Host : LogHost {
        std::thread::id mainId = std::this_thread::get_id();
        std::atomic<int> offMain{0};
        std::atomic<int> wakes{0};
        void showRecord(const Record& r) override
        {
            if (std::this_thread::get_id() != mainId)
                ++offMain;
            LogHost::showRecord(r);
        }
        void threadEnded() override
        {
            if (std::this_thread::get_id() != mainId)
                ++offMain;
            LogHost::threadEnded();
        }
        std::mutex qm;
        std::vector<std::function<void()>> queued;
        void wakeMainThread(std::function<void()> service) override
        {
            ++wakes;
            std::lock_guard<std::mutex> l(qm);
            queued.push_back(std::move(service));
        }
        void runQueued()
        {
            std::vector<std::function<void()>> now;
            {
                std::lock_guard<std::mutex> l(qm);
                now.swap(queued);
            }
            for (auto& f : now)
                f();
        }
    } h;
    auto t = std::make_unique<KomunVlakno>(h, DisplayCall::MainThread);
    h.attach(t.get());
    ScriptPeer peer({{11, 1, 0}, {8, 2, 0}, {9, 65, 0}, {12, 0, 0}});
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!t->loopEnded() && std::chrono::steady_clock::now() < deadline) {
        h.runQueued(); // the main thread's event loop
        if (t->suspended())
            t->stepCommand(StepCommand::AfterLexJed);
        std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(t->loopEnded());
    t->finish();
    peer.join();
    // The end's wake-up is still queued when the owner deletes the thread:
    // running it afterwards must do nothing.
    h.attach(nullptr);
    t.reset();
    h.runQueued();
    EXPECT_EQ(h.offMain.load(), 0);
    EXPECT_GT(h.wakes.load(), 0);
    EXPECT_EQ(h.stops(), (std::vector<std::string>{"stopped@1", "stopped@2", "stopped@0"}));
    auto log = h.log();
    EXPECT_EQ(log.back(), "ended");
    EXPECT_EQ(std::count(log.begin(), log.end(), "ended"), 1);
}

TEST_F(KomunTest, FinishServesADisplayThatIsWaitingForTheMainThread)
{
    LogHost h;
    KomunVlakno t(h, DisplayCall::MainThread);
    ScriptPeer peer({{11, 1, 0}}, 5000);
    // Nobody services the worker: it waits inside the display of kind 11.
    std::this_thread::sleep_for(200ms);
    t.finish();
    peer.join();
    EXPECT_TRUE(t.loopEnded());
    auto log = h.log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "ended");
}

// The thread driving the real panel model: a State stop leaves the panel as
// it was, and running free at a stop disables every debug command.
TEST_F(KomunTest, StateStopAndRunFreeOnTheDebugPanel)
{
    struct NoPrompts : DebugPrompts {
        bool askYesNo(const std::string&, const std::string&) override { return false; }
        void showError(const std::string&) override {}
    } prompts;
    GrammarText grammar{true, {"%%", "s : ;"}, ""};
    DebugSession session("VORK", [&] { return grammar; }, prompts);
    KomunVlakno t(session);
    ScriptPeer peer({{11, 0, 0}, {8, 5, 0}, {9, 'k', 0}, {6, 99, 0}, {8, 6, 0}, {12, 0, 0}});

    ASSERT_TRUE(t.waitSuspended(5s)); // AnalysisStart
    EXPECT_EQ(session.title(), "VORK[Zastaveny]");
    EXPECT_TRUE(session.commands().isEnabled("HM_Hlasenia"));
    t.stepCommand(StepCommand::AfterStav);
    EXPECT_EQ(session.title(), "VORK[Spusteny]");
    EXPECT_FALSE(session.commands().isEnabled("BarLad_PoStav"));

    ASSERT_TRUE(t.waitSuspended(5s)); // at the State record
    ASSERT_EQ(t.value1(), 99);
    const DebugPanel& p = session.panel();
    EXPECT_EQ(p.tokenCode(), "5");
    EXPECT_EQ(p.characters(), "k");
    EXPECT_EQ(p.stepLine(), "");
    EXPECT_EQ(p.trace(), std::vector<std::string>{"Start analyzy"});
    EXPECT_EQ(session.title(), "VORK[Zastaveny]");

    t.stepCommand(StepCommand::BezKrok);
    ASSERT_TRUE(t.waitEnded(5s));
    peer.join();
    EXPECT_EQ(peer.replies(), (std::vector<uint32_t>{13, 13, 13, 14}));
    EXPECT_TRUE(session.ended());
    for (const auto& [name, on] : session.commands().states())
        EXPECT_FALSE(on) << name;
    EXPECT_EQ(p.tokenCode(), "5"); // the records after the 14 were never read
}
