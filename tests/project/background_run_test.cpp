// A generator call on a worker thread: its lines reach the real sinks on
// the calling thread, in order and while it still runs; the calling
// thread's event loop keeps going; a stop reaches the call.
#include "vork/project/background_run.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "background_run_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// Every call as one line "kind:text@line".
class Recording : public vork::Sinks {
public:
    void message(const std::string& t) override { lines.push_back("m:" + t); }
    void lexError(const std::string& t, int l) override { lines.push_back("le:" + t + "@" + std::to_string(l)); }
    void lexWarning(const std::string& t, int l) override { lines.push_back("lw:" + t + "@" + std::to_string(l)); }
    void yaccError(const std::string& t, int l) override { lines.push_back("ye:" + t + "@" + std::to_string(l)); }
    std::vector<std::string> lines;
};

// Waits, on the worker, for a condition the main thread brings about.
bool waitUntil(const std::atomic<bool>& flag)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace

TEST(RelaySinks, PassesEveryKindOnInOrderInBatches)
{
    const std::vector<std::string> want = {"m:Inicializacia... ", "le:bad rule@3", "m:x", "lw:odd@-1", "ye:no start@12",
                                           "m:", "ye:again@0"};
    for (size_t batch : {size_t(1), size_t(2), size_t(3), size_t(100)}) {
        SCOPED_TRACE("batch " + std::to_string(batch));
        std::atomic<bool> stop{false};
        vork::RelaySinks relay(stop);
        relay.message("Inicializacia... ");
        relay.lexError("bad rule", 3);
        relay.message("x");
        relay.lexWarning("odd", -1);
        relay.yaccError("no start", 12);
        relay.message("");
        relay.yaccError("again", 0);
        Recording target;
        size_t drains = 0;
        while (!relay.empty()) {
            const size_t before = target.lines.size();
            const size_t passed = relay.drainInto(target, batch);
            EXPECT_EQ(passed, std::min(batch, want.size() - before));
            EXPECT_EQ(target.lines.size(), before + passed);
            ++drains;
        }
        EXPECT_EQ(target.lines, want);
        EXPECT_EQ(drains, (want.size() + batch - 1) / batch);
        EXPECT_EQ(relay.drainInto(target), 0u);
    }
}

TEST(RelaySinks, StopFollowsTheFlag)
{
    std::atomic<bool> stop{false};
    vork::RelaySinks relay(stop);
    const vork::Sinks& asSinks = relay;
    EXPECT_FALSE(asSinks.stopRequested());
    stop = true;
    EXPECT_TRUE(asSinks.stopRequested());
    EXPECT_FALSE(vork::NullSinks().stopRequested()) << "other sinks never stop a run";
}

// What the calling thread sees of a call on the worker.
TEST(RunInBackground, LinesArriveWhileTheCallRunsAndTheLoopKeepsGoing)
{
    app();
    struct Case {
        const char* what;
        // The call; `seen` is set by the main thread once the target holds
        // the line "m:first", `stop` is the stop flag.
        std::function<int(vork::Sinks&, const std::atomic<bool>& seen)> call;
        bool stopWhenSeen;
        int status;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a line shows before the call ends",
         [](vork::Sinks& s, const std::atomic<bool>& seen) {
             s.message("first");
             if (!waitUntil(seen))
                 return 9;
             s.yaccError("late", 4);
             return 0;
         },
         false, 0, {"m:first", "ye:late@4"}},
        {"a stop reaches the call",
         [](vork::Sinks& s, const std::atomic<bool>& seen) {
             s.message("first");
             if (!waitUntil(seen))
                 return 9;
             const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
             while (!s.stopRequested())
                 if (std::chrono::steady_clock::now() > until)
                     return 8;
             s.message("stopped");
             return 1;
         },
         true, 1, {"m:first", "m:stopped"}},
        {"a throwing call is a failed run",
         [](vork::Sinks& s, const std::atomic<bool>&) -> int {
             s.message("first");
             throw std::runtime_error("boom");
         },
         false, 1, {"m:first"}},
        {"many lines keep their order",
         [](vork::Sinks& s, const std::atomic<bool>&) {
             s.message("first");
             for (int i = 0; i < 2000; ++i)
                 s.message(std::to_string(i));
             return 0;
         },
         false, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recording target;
        std::atomic<bool> stop{false};
        std::atomic<bool> seen{false};
        int ticks = 0;
        QTimer watch;
        watch.setInterval(1);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            ++ticks;
            if (!target.lines.empty() && target.lines.front() == "m:first") {
                seen = true;
                if (c.stopWhenSeen)
                    stop = true;
            }
        });
        watch.start();
        const int status = vork::runInBackground([&](vork::Sinks& s) { return c.call(s, seen); }, target, stop, 5, 100);
        watch.stop();
        EXPECT_EQ(status, c.status);
        if (!c.lines.empty()) {
            EXPECT_EQ(target.lines, c.lines);
        } else {
            ASSERT_EQ(target.lines.size(), 2001u);
            for (int i = 0; i < 2000; ++i)
                ASSERT_EQ(target.lines[static_cast<size_t>(i) + 1], "m:" + std::to_string(i));
        }
        // The first two calls could only end after the loop had run.
        if (&c == &cases[0] || &c == &cases[1]) {
            EXPECT_GT(ticks, 0) << "the event loop ran during the call";
        }
    }
}
