// The communication thread against an in-process peer speaking the raw
// protocol: which records stop the run, what is answered, how the loop ends.
#include "support.h"

#include "vork/debuglink/komvl.h"
#include "vork/debuglink/record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>
#include <sys/mman.h>
#include <fcntl.h>
#include <cerrno>

using namespace vork::debuglink;
using namespace dltest;

namespace {

// AnalysisStart, every other record kind once, AnalysisEnd.  Value 1 of
// each record is 100 + its position, so a stop names the record it was at.
const std::vector<uint32_t> kAllKinds = {11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 12};

std::vector<Step> numbered(const std::vector<uint32_t>& kinds)
{
    std::vector<Step> s;
    for (size_t i = 0; i < kinds.size(); ++i)
        s.push_back({kinds[i], static_cast<int32_t>(100 + i), 0});
    return s;
}

Lines stopsAt(const std::vector<size_t>& positions)
{
    Lines out;
    for (size_t p : positions)
        out.push_back("stopped@" + std::to_string(100 + p));
    return out;
}

class KomunTest : public ::testing::Test {
protected:
    PrivateNames names;
    LogHost host;
};

} // namespace

TEST(Wire, RecordLayoutIsLittleEndianAtFixedOffsets)
{
    struct Case {
        uint8_t bytes[16];
        uint32_t kind;
        int32_t v1, v2;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0, 2, 0, 0, 0}, 3, 4, 2},
        {{0, 0, 0, 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}, 3, -1, INT32_MIN},
        {{0, 0, 0, 0, 0x15, 0, 0, 0x01, 0x02, 0x01, 0, 0, 0, 0, 0, 0}, 0x01000015u, 0x102, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        uint8_t block[kBlockSize] = {};
        std::memcpy(block, c.bytes, 16);
        const Record r = readRecord(block);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.value1, c.v1);
        EXPECT_EQ(r.value2, c.v2);
    }
    uint8_t block[kBlockSize];
    std::memset(block, 0xEE, sizeof block);
    writeReply(block, ReplyCode::RunFree);
    const uint8_t expected[] = {14, 0, 0, 0, 0xEE};
    EXPECT_EQ(std::memcmp(block, expected, sizeof expected), 0);
}

TEST(Komun, StopsOnlyWhereTheFlagsSay)
{
    struct Case {
        std::optional<StepCommand> command; // none: a plain resume, all flags false
        std::vector<size_t> stops;
    };
    const size_t end = kAllKinds.size() - 1;
    const Case cases[] = {
        {std::nullopt, {0, end}},
        {StepCommand::AfterLexJed, {0, 8, end}},
        {StepCommand::AfterSemAction, {0, 11, end}},
        {StepCommand::AfterBadSyntax, {0, 1, end}},
        {StepCommand::AfterReduction, {0, 5, end}},
        {StepCommand::AfterPosuny, {0, 7, end}},
        {StepCommand::AfterStav, {0, 6, end}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command ? static_cast<int>(*c.command) : -1);
        PrivateNames names;
        LogHost host;
        KomunVlakno t(host);
        host.attach(&t);
        auto peer = scriptPeer(numbered(kAllKinds));
        ASSERT_TRUE(t.waitSuspended(5s));
        if (!c.command)
            t.resume();
        ASSERT_TRUE(stepThrough(t, c.command.value_or(StepCommand::AfterStav)));
        peer.wait();
        EXPECT_EQ(host.stops(), stopsAt(c.stops));
        EXPECT_EQ(peer.get(), std::vector<uint32_t>(kAllKinds.size(), 13u));
        // Every kind but State is displayed, in order; the end handler last.
        Lines log = host.log(), shown;
        for (const auto& s : log)
            if (s.rfind("show ", 0) == 0)
                shown.push_back(s.substr(5, s.find(' ', 5) - 5));
        EXPECT_EQ(shown, (Lines{"11", "1", "2", "3", "4", "5", "7", "8", "9", "10", "20", "12"}));
        EXPECT_EQ(log.back(), "ended");
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
    for (uint32_t kind : {0u, 13u, 14u, 16u, 19u, 21u, 0xFFFFFFFFu}) {
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
    EXPECT_FALSE(host.logged("show 8 5 0"));
    const Lines log = host.log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(Lines(log.end() - 2, log.end()), (Lines{"free", "ended"}));
}

// How the thread lets go of a run, and the line the panel shows for it
// afterwards: none while the thread serves the run; run free says the
// program goes on unwatched, and later that it has ended; any other end
// says the debugging is over.  A new run starts without a line.
TEST_F(KomunTest, TheRunNoteSaysHowTheThreadLetGoOfTheRun)
{
    enum class End { RunFreeAtStart, RunFreeAtEnd, AnalysisEnd, Terminated };
    struct Case {
        const char* what;
        End end;
        std::vector<uint32_t> replies;
        bool leftFree;
        const char* note;
        const char* noteAfterProgram;
    };
    const Case cases[] = {
        {"run free at the start", End::RunFreeAtStart, {14}, true, kNoteRunFree, kNoteFreeEnded},
        {"run free at the end", End::RunFreeAtEnd, {13, 13, 14}, true, kNoteRunFree, kNoteFreeEnded},
        {"end of the analysis", End::AnalysisEnd, {13, 13, 13}, false, kNoteDebugEnded, kNoteDebugEnded},
        {"program gone while stopped", End::Terminated, {13}, false, kNoteDebugEnded, kNoteDebugEnded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NoPrompts prompts;
        DebugSession session("VORK", [] { return GrammarText{true, {"%%"}, ""}; }, prompts);
        {
            KomunVlakno t(session);
            // A program gone while stopped sends nothing more.
            const std::vector<Step> script = c.end == End::Terminated
                                                 ? std::vector<Step>{{11, 0, 0}}
                                                 : std::vector<Step>{{11, 0, 0}, {8, 5, 0}, {12, 0, 0}};
            auto peer = scriptPeer(script);
            ASSERT_TRUE(t.waitSuspended(5s)); // AnalysisStart
            EXPECT_EQ(session.runNote(), "");
            switch (c.end) {
            case End::RunFreeAtStart:
                t.stepCommand(StepCommand::BezKrok);
                break;
            case End::RunFreeAtEnd:
                t.stepCommand(StepCommand::AfterSemAction);
                ASSERT_TRUE(t.waitSuspended(5s)); // AnalysisEnd
                EXPECT_EQ(session.runNote(), "");
                t.stepCommand(StepCommand::BezKrok);
                break;
            case End::AnalysisEnd:
                ASSERT_TRUE(stepThrough(t, StepCommand::AfterLexJed));
                break;
            case End::Terminated:
                break;
            }
            // The program's end: the owner resumes and ends the thread.
            t.finish();
            EXPECT_EQ(peer.get(), c.replies);
        }
        EXPECT_TRUE(session.ended());
        EXPECT_EQ(session.leftFree(), c.leftFree);
        EXPECT_EQ(session.runNote(), c.note);
        session.programEnded();
        EXPECT_EQ(session.runNote(), c.noteAfterProgram);
        session.beginRun("VORK");
        EXPECT_EQ(session.runNote(), "");
        EXPECT_FALSE(session.leftFree());
    }
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
    KomunVlakno t(eager);
    eager.thread = &t;
    eager.attach(&t);
    auto peer = scriptPeer(numbered({11, 8, 5, 5, 12}));
    ASSERT_TRUE(t.waitEnded(10s)) << "a stop waited for a command that had already come";
    EXPECT_EQ(peer.get(), std::vector<uint32_t>(5, 13u));
    EXPECT_EQ(eager.stops(), stopsAt({0, 2, 3, 4}));
    EXPECT_FALSE(t.suspended());
    t.finish();
}

TEST(Komun, ObjectThatCannotBeCreatedEndsTheThread)
{
    // A directory where the object should be makes shm_open fail.  Only the
    // block's failure has a message of its own.
    for (const char* object : {VORK_CHAN_BLOCK_NAME, VORK_CHAN_EVENT_FROM_PEER}) {
        SCOPED_TRACE(object);
        PrivateNames names;
        LogHost host;
        ASSERT_EQ(mkdir(("/dev/shm" + names.path(object)).c_str(), 0700), 0);
        ASSERT_EQ(shm_open(names.path(object).c_str(), O_RDWR, 0), -1);
        const int code = errno;
        KomunVlakno t(host);
        ASSERT_TRUE(t.waitEnded(5s));
        t.finish();
        if (std::string(object) == VORK_CHAN_BLOCK_NAME) {
            const std::string text = "Chyba pri vytváraní zdieľanej pamäti vork1000-zdiel (" + std::to_string(code) + ")";
            EXPECT_EQ(host.log(), (Lines{"error " + text, "ended"}));
            EXPECT_EQ(t.failure(), text);
        } else {
            EXPECT_EQ(host.log(), Lines{"ended"});
            EXPECT_FALSE(t.failure().empty());
        }
        // The objects made before the failure are gone again.
        EXPECT_FALSE(names.exists(VORK_CHAN_EVENT_TO_PEER));
    }
}

TEST_F(KomunTest, FinishServesADisplayThatIsWaitingForTheMainThread)
{
    KomunVlakno t(host, DisplayCall::MainThread);
    auto peer = scriptPeer({{11, 1, 0}});
    // Nobody services the worker: it waits inside the display of kind 11.
    std::this_thread::sleep_for(200ms);
    t.finish();
    peer.wait();
    EXPECT_TRUE(t.loopEnded());
    ASSERT_FALSE(host.log().empty());
    EXPECT_EQ(host.log().back(), "ended");
}

// The thread driving the real panel model: a State stop leaves the panel as
// it was, and running free at a stop disables every debug command.
TEST_F(KomunTest, StateStopAndRunFreeOnTheDebugPanel)
{
    NoPrompts prompts;
    GrammarText grammar{true, {"%%", "s : ;"}, ""};
    DebugSession session("VORK", [&] { return grammar; }, prompts);
    KomunVlakno t(session);
    auto peer = scriptPeer({{11, 0, 0}, {8, 5, 0}, {9, 'k', 0}, {6, 99, 0}, {8, 6, 0}, {12, 0, 0}});

    ASSERT_TRUE(t.waitSuspended(5s)); // AnalysisStart
    EXPECT_EQ(session.title(), "VORK[Zastaveny]");
    // The running display is not checked here: once resumed, the worker may
    // reach the State stop before this thread looks at the title.
    t.stepCommand(StepCommand::AfterStav);

    ASSERT_TRUE(t.waitSuspended(5s)); // at the State record
    ASSERT_EQ(t.value1(), 99);
    const DebugPanel& p = session.panel();
    EXPECT_EQ(p.tokenCode(), "5");
    EXPECT_EQ(p.characters(), "k");
    EXPECT_EQ(p.stepLine(), "");
    EXPECT_EQ(p.trace(), Lines{"Start analyzy"});
    EXPECT_EQ(session.title(), "VORK[Zastaveny]");

    t.stepCommand(StepCommand::BezKrok);
    ASSERT_TRUE(t.waitEnded(5s));
    EXPECT_EQ(peer.get(), (std::vector<uint32_t>{13, 13, 13, 14}));
    EXPECT_TRUE(session.ended());
    for (const auto& [name, on] : session.commands().states())
        EXPECT_FALSE(on) << name;
    EXPECT_EQ(p.tokenCode(), "5"); // the records after the 14 were never read
}
