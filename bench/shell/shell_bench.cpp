// What the window costs: the debug channel with the main window showing
// every record, next to the same channel with nobody showing anything, and
// the time to open a large source in an editor page.
//
//   shell_bench [records] [megabytes]   (defaults 100000 and 1; offscreen)
//
// The records are a generated compiler's usual mix: lexical units, input
// characters with a line end every 40, shifts, reductions and semantic
// actions.  Each figure is the best of three runs.
#include "vork/debuglink/komvl.h"
#include "vork/project/configuration.h"
#include "vork/shell/debug_panel_widget.h"
#include "vork/shell/form_main.h"
#include "vork/shell/prompter.h"
#include "vork/shell/stranka.h"
#include "../debuglink/record_peer.h"
#include "vork_chan.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace vork::debuglink;
using Clock = std::chrono::steady_clock;

namespace {

uint32_t kindOf(long i)
{
    static const uint32_t mix[] = {VORK_REC_LEXICAL_UNIT, VORK_REC_INPUT_CHAR, VORK_REC_INPUT_CHAR,
                                   VORK_REC_SHIFT,        VORK_REC_REDUCTION,  VORK_REC_SEMANTIC_ACTION};
    return mix[i % 6];
}

int peerMain(long records)
{
    vork::bench::RecordPeer peer;
    if (int failed = peer.open())
        return failed;
    for (long i = -1; i <= records; ++i) {
        const uint32_t kind = i < 0 ? uint32_t(VORK_REC_ANALYSIS_START) : i == records ? uint32_t(VORK_REC_ANALYSIS_END) : kindOf(i);
        uint32_t value = static_cast<uint32_t>(i % 50 + 1);
        if (kind == VORK_REC_INPUT_CHAR)
            value = i % 40 == 1 ? 10 : 'a' + static_cast<uint32_t>(i % 26);
        if (!peer.send(kind, static_cast<int32_t>(value)))
            return 4;
    }
    return 0;
}

// The run has no project, so its grammar cannot be read: the question is
// answered No, as a user who only watches the records would.
struct NoPrompter : vork::shell::Prompter {
    bool askYesNo(const QString&, const QString&, Icon) override { return false; }
    void inform(const QString&, const QString&, Icon) override {}
    void showErrorText(const QString&) override {}
    QString chooseFile(QWidget*, const FileDialog&) override { return {}; }
    bool chooseFont(QWidget*, QFont&, int) override { return false; }
    int execDialog(QDialog&) override { return 0; }
};

struct QuietHost : KomunHost {
    void showRecord(const Record&) override {}
    void showStopped() override {}
    void showRunning() override {}
    void threadEnded() override {}
    void showChannelError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

// One run: the peer sends the records, the worker answers each one after
// host's display.  With a window, the displays run on this (the main)
// thread from its event loop, as in the IDE.  Seconds from the first stop.
double channelRun(long records, vork::shell::TForm_Main* window)
{
    QuietHost quiet;
    const pid_t child = fork();
    if (child == 0)
        _exit(peerMain(records));
    KomunHost& host = window ? static_cast<KomunHost&>(window->debugSession()) : quiet;
    KomunVlakno t(host, window ? DisplayCall::MainThread : DisplayCall::Direct);
    Clock::time_point start{};
    bool started = false;
    auto resumeStop = [&] {
        if (!started) { // AnalysisStart: the clock starts here
            started = true;
            start = Clock::now();
        }
        t.resume();
    };
    if (window) {
        // The IDE's way: the main thread sleeps in its event loop and wakes
        // for each display the worker asks for.
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (t.loopEnded())
                loop.quit();
            else if (t.suspended())
                resumeStop();
        });
        poll.start();
        loop.exec();
    } else {
        while (!t.loopEnded())
            if (t.waitSuspended(std::chrono::milliseconds(100)))
                resumeStop();
    }
    t.finish();
    const double secs = std::chrono::duration<double>(Clock::now() - start).count();
    return vork::bench::peerSucceeded(child) ? secs : 0;
}

template <typename F>
double bestOfThree(F f)
{
    double best = 0;
    for (int i = 0; i < 3; ++i) {
        const double s = f();
        if (s <= 0)
            return 0;
        if (best == 0 || s < best)
            best = s;
    }
    return best;
}

// A C-like source of about the given size.
QByteArray sampleSource(long bytes)
{
    QByteArray text;
    text.reserve(static_cast<int>(bytes + 200));
    for (long line = 0; text.size() < bytes; ++line)
        text += "    total = total + value_" + QByteArray::number(static_cast<int>(line % 97)) +
                " * 42; /* line " + QByteArray::number(static_cast<int>(line)) + " of the sample */\n";
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const long records = argc > 1 ? std::max(1L, std::atol(argv[1])) : 100000;
    const long megabytes = argc > 2 ? std::max(1L, std::atol(argv[2])) : 1;
    const std::string suffix = "-shellbench" + std::to_string(getpid());
    setenv(VORK_CHAN_SUFFIX_ENV, suffix.c_str(), 1);

    QApplication app(argc, argv);
    QTemporaryDir dir;
    NoPrompter prompter;
    vork::shell::TForm_Main window(prompter, vork::ConfigFile(dir.path().toStdString()));
    window.resize(1000, 700);
    window.show();
    window.showMessagePanel(true);
    QApplication::processEvents();

    const double headless = bestOfThree([&] { return channelRun(records, nullptr); });
    const double gui = bestOfThree([&] { return channelRun(records, &window); });
    if (headless <= 0 || gui <= 0) {
        std::fprintf(stderr, "a channel measurement failed\n");
        return 1;
    }
    const double n = static_cast<double>(records + 2);
    std::printf("records per run                 %ld\n", records + 2);
    std::printf("channel, nothing shown          %.0f records/s\n", n / headless);
    std::printf("channel, window shows each      %.0f records/s  (goal at least 10000)\n", n / gui);
    std::printf("window cost per record          %.2f us\n", (gui - headless) * 1e6 / n);

    const QString path = dir.filePath("large.c");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(sampleSource(megabytes << 20)) < 0)
        return 1;
    f.close();
    const double open = bestOfThree([&] {
        QElapsedTimer t;
        t.start();
        vork::shell::TStranka* page = window.openPage(path);
        QApplication::processEvents();
        const double s = t.nsecsElapsed() / 1e9;
        if (!page)
            return 0.0;
        window.closePage(page);
        return s;
    });
    std::printf("open a %ld MB source in a page  %.1f ms  (goal at most 200 ms)\n", megabytes, open * 1e3);
    return 0;
}
