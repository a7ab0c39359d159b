// What following the parse costs: the headless debug channel answering a
// calculator run's records with the panel only, and with the panel plus the
// stack, tree and history models; and how much memory the history of a long
// run holds.
//
//   debuglink_insight_bench [records]   (default 100000; best of three)
//
// The records are one line of a recorded calculator run, repeated: a stretch
// that leaves the parse stack as it found it, so a long run stays a
// realistic one.  The goal: the models on keep at least 80% of the records
// per second, and 100,000 records of history stay under 50 MB.
#include "vork/debuglink/debug_panel.h"
#include "vork/debuglink/komvl.h"
#include "vork/debuglink/parse_insight.h"
#include "record_peer.h"
#include "vork_chan.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace vork::debuglink;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<Record> g_line; // the repeated stretch

bool loadLine()
{
    std::ifstream in(std::string(VORK_SOURCE_DIR) + "/tests/debuglink/data/calc_valid.rec");
    std::vector<Record> all;
    Record r;
    while (in >> r.kind >> r.value1 >> r.value2)
        all.push_back(r);
    // From the push after "lines :" to the next push of that same state:
    // one whole input line, reduced into lines again.
    size_t first = all.size(), second = all.size();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].kind != static_cast<uint32_t>(RecordKind::State))
            continue;
        if (first == all.size() && i > 0 && all[i - 1].kind == static_cast<uint32_t>(RecordKind::Reduction))
            first = i;
        else if (first != all.size() && all[i].value1 == all[first].value1) {
            second = i;
            break;
        }
    }
    if (second == all.size())
        return false;
    g_line.assign(all.begin() + static_cast<long>(first) + 1, all.begin() + static_cast<long>(second) + 1);
    return true;
}

struct NoOwner : DebugPanelOwner {
    void enableDebugCommands() override {}
    GrammarText loadGrammar() override { return {true, {}, ""}; }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void showErrorText(const std::string&) override {}
};

struct BenchHost : KomunHost {
    explicit BenchHost(const GrammarNames* names) : history(names), on(names != nullptr) {}
    void showRecord(const Record& r) override
    {
        panel.show(r.kind, r.value1, r.value2, owner);
        if (on)
            history.append(r);
    }
    void noteRecord(const Record& r) override
    {
        if (on)
            history.append(r);
    }
    void showStopped() override {}
    void showRunning() override {}
    void threadEnded() override {}
    void showChannelError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    NoOwner owner;
    DebugPanel panel;
    RunHistory history;
    bool on;
};

int peerMain(long records)
{
    vork::bench::RecordPeer peer;
    if (int failed = peer.open())
        return failed;
    auto send = [&](uint32_t kind, int32_t v1, int32_t v2) { return peer.send(kind, v1, v2); };
    // The start, the first push and "lines :" as the parser sends them.
    const Record head[] = {{11, 0, 0}, {6, 0, 0}, {5, 1, 0}, {6, 1, 0}};
    for (const Record& r : head)
        if (!send(r.kind, r.value1, r.value2))
            return 4;
    for (long i = 0; i < records; ++i) {
        const Record& r = g_line[static_cast<size_t>(i) % g_line.size()];
        if (!send(r.kind, r.value1, r.value2))
            return 4;
    }
    return send(12, 0, 0) ? 0 : 4;
}

double roundTrip(long records, const GrammarNames* names)
{
    BenchHost host(names);
    pid_t child = fork();
    if (child == 0)
        _exit(peerMain(records));
    KomunVlakno t(host);
    const double secs = vork::bench::answerUntilEnd(t);
    return vork::bench::peerSucceeded(child) ? secs : 0;
}

} // namespace

int main(int argc, char** argv)
{
    long records = argc > 1 ? std::atol(argv[1]) : 100000;
    if (records < 1)
        records = 1;
    if (!loadLine()) {
        std::fprintf(stderr, "the recorded run could not be read\n");
        return 1;
    }
    duq_yacc::Automaton a;
    std::string error;
    if (!duq_yacc::build_automaton(std::string(VORK_SOURCE_DIR) + "/examples/calc/calc.y", a, &error)) {
        std::fprintf(stderr, "calc.y: %s\n", error.c_str());
        return 1;
    }
    const GrammarNames names(std::move(a));
    const std::string suffix = "-ibench" + std::to_string(getpid());
    setenv(VORK_CHAN_SUFFIX_ENV, suffix.c_str(), 1);

    double off = 0, on = 0;
    for (int i = 0; i < 3; ++i) { // alternating, best of three each
        const double a1 = roundTrip(records, nullptr);
        const double b1 = roundTrip(records, &names);
        if (a1 <= 0 || b1 <= 0)
            return 1;
        off = off == 0 || a1 < off ? a1 : off;
        on = on == 0 || b1 < on ? b1 : on;
    }
    const double n = static_cast<double>(records + 5);
    std::printf("records answered             %ld\n", records + 5);
    std::printf("panel only                   %.0f records/s\n", n / off);
    std::printf("panel + stack, tree, history %.0f records/s  (%.1f%% of panel only; goal >= 80%%)\n", n / on,
                100.0 * off / on);

    RunHistory history(&names);
    const Record head[] = {{11, 0, 0}, {6, 0, 0}, {5, 1, 0}, {6, 1, 0}};
    for (const Record& r : head)
        history.append(r);
    for (long i = 4; i < 100000; ++i)
        history.append(g_line[static_cast<size_t>(i) % g_line.size()]);
    const double mb = static_cast<double>(history.memoryBytes()) / (1024.0 * 1024.0);
    std::printf("history of %zu records      %.2f MB  (goal < 50 MB)\n", history.size(), mb);
    // A look back from the end, as a step back in the window does.
    const auto t0 = Clock::now();
    const RunHistory::Moment m = history.at(history.size() - 2);
    std::printf("one step back at the end     %.1f us  (stack depth %zu)\n",
                std::chrono::duration<double, std::micro>(Clock::now() - t0).count(), m.stack.size());
    return off / on >= 0.8 && mb < 50 ? 0 : 2;
}
