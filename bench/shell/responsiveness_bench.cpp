// Whether the window keeps up while the project works, side by side with
// the same work done without a window:
//
//  1. the longest stall of the event loop while "Generovať syntaktický
//     analyzátor" generates a grammar with 441 shift/reduce conflicts (21
//     binary operators without precedence), next to the generator's own
//     time with nobody listening;
//  2. lines per second that reach "Exe prekladač" from a program printing
//     them, next to the same program writing to /dev/null;
//  3. how long "Ukončiť prekladač" takes to end a program that never stops
//     printing and to give the title back, and the longest stall meanwhile.
//
//   responsiveness_bench [lines]   (default 200000; offscreen)
#include "duq_yacc/yacc_run.h"
#include "vork/project/configuration.h"
#include "vork/project/skeletons.h"
#include "vork/shell/form_main.h"
#include "vork/shell/prompter.h"
#include "vork/shell/viz_projekt.h"
#include "vork/sinks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct NoPrompter : vork::shell::Prompter {
    bool askYesNo(const QString&, const QString&, Icon) override { return false; }
    void inform(const QString&, const QString&, Icon) override {}
    void showErrorText(const QString&) override {}
    QString chooseFile(QWidget*, const FileDialog&) override { return {}; }
    bool chooseFont(QWidget*, QFont&, int) override { return false; }
    int execDialog(QDialog&) override { return 0; }
};

void writeFile(const std::string& path, const std::string& text, bool executable = false)
{
    std::ofstream(path, std::ios::binary) << text;
    if (executable)
        ::chmod(path.c_str(), 0755);
}

// e : e '+' e | e '-' e | ... | NUM ; with 21 operators and no precedence:
// 21 states, each with a shift/reduce conflict on every operator.
std::string conflictGrammar()
{
    const std::string ops = "+-*/%^&|<>=!~@#$:?,.;";
    std::string y = "%{\n#include <stdio.h>\nint yylex(void);\nvoid yyerror(char *s) { fprintf(stderr, \"%s\\n\", s); }\n%}\n"
                    "%token NUM\n%%\ns : e '\\n' ;\ne : NUM\n";
    for (char op : ops)
        y += std::string("  | e '") + op + "' e\n";
    y += "  ;\n%%\nint main(void) { return yyparse(); }\n";
    return y;
}

// The main thread's own CPU time: on a busy machine a gap between two
// ticks is partly waiting for a processor, which no window can help.
double threadCpu()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Watches the event loop: a timer that should fire every millisecond;
// the longest gap between two of its ticks, less that millisecond, is the
// longest the loop was kept from running.  Next to it, the most CPU time
// the main thread spent inside one gap: the window's own share of it.
class StallMeter {
public:
    StallMeter()
    {
        tick_.setInterval(1);
        QObject::connect(&tick_, &QTimer::timeout, [this] { beat(); });
    }
    void start()
    {
        longest_ = 0;
        longestCpu_ = 0;
        last_ = Clock::now();
        lastCpu_ = threadCpu();
        tick_.start();
    }
    double longestCpu() const { return longestCpu_; }
    // The gap up to now counts too: a loop that never came back stalled all
    // the time.
    double stop()
    {
        beat();
        tick_.stop();
        return longest_;
    }

private:
    void beat()
    {
        const auto now = Clock::now();
        const double cpu = threadCpu();
        longest_ = std::max(longest_, std::chrono::duration<double>(now - last_).count() - 0.001);
        longestCpu_ = std::max(longestCpu_, cpu - lastCpu_);
        last_ = now;
        lastCpu_ = cpu;
    }
    QTimer tick_;
    Clock::time_point last_;
    double lastCpu_ = 0;
    double longest_ = 0;
    double longestCpu_ = 0;
};

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Runs the event loop until done() or the timeout; false on the timeout.
bool waitFor(const std::function<bool()>& done, double timeout = 120)
{
    const auto start = Clock::now();
    while (!done()) {
        if (seconds(start) > timeout)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

double runToDevNull(const std::string& program)
{
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout))
            _exit(127);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds(start) : 0;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const long lines = argc > 1 ? std::max(1000L, std::atol(argv[1])) : 200000;
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    writeFile(d + "/ops.l", "%%\n[0-9]+\t{ return NUM; }\n\\n\t{ return '\\n'; }\n.\t{ return yytext[0]; }\n%%\n"
                            "int yywrap(void) { return 1; }\n");
    writeFile(d + "/ops.y", conflictGrammar());

    NoPrompter prompter;
    vork::shell::TForm_Main window(prompter, vork::ConfigFile(d + "/config"));
    window.setSkeletons(vork::SkeletonPaths::inDirectory(VORK_BIN_DIR));
    window.resize(1000, 700);
    window.show();
    QApplication::processEvents();
    if (!window.openProject(QString::fromStdString(d + "/ops.lyy"), true)) {
        std::fprintf(stderr, "cannot open the project\n");
        return 1;
    }
    vork::shell::VizProjekt& project = *window.project();

    // 1. Generation.
    const std::string parserOut = d + "/ops-bare.cpp";
    vork::NullSinks quiet;
    auto bareStart = Clock::now();
    const int bareStatus = duq_yacc::yacc_run(quiet, std::string(VORK_BIN_DIR) + "/yaccpar", d + "/ops.y", parserOut, 0,
                                              nullptr, 1, "", d + "/ops-bare.stv", 0);
    const double bare = seconds(bareStart);

    StallMeter meter;
    bool generated = false;
    Clock::time_point genStart;
    QTimer::singleShot(0, [&] {
        genStart = Clock::now();
        window.runCommand("HM_PrjGenSynt");
        generated = true;
    });
    meter.start();
    if (!waitFor([&] { return generated; }))
        return 1;
    const double genStall = meter.stop();
    const double genCpu = meter.longestCpu();
    const double genTime = seconds(genStart);
    const int parserLines = window.taskList()->count();

    std::printf("441-conflict grammar, generator alone      %.2f s (status %d)\n", bare, bareStatus);
    std::printf("441-conflict grammar, in the window        %.2f s, %d lines in \"Parser\"\n", genTime, parserLines);
    std::printf("  longest event-loop stall                 %.1f ms  (goal at most 50 ms), %.1f ms of it busy\n",
                genStall * 1e3, genCpu * 1e3);

    // 2. Output of a program.
    const std::string printer = d + "/printer.exe";
    writeFile(printer, "#!/bin/sh\nexec seq 1 " + std::to_string(lines) + "\n", true);
    std::fflush(stdout);
    const double devNull = runToDevNull(printer);
    project.setCSource(d + "/printer.c");
    project.setRunArguments("");
    const QString last = QString::number(lines);
    auto lastShown = [&] {
        QListWidget* exe = window.taskListExe();
        return exe->count() > 0 && exe->item(exe->count() - 1)->text() == last;
    };
    const auto outStart = Clock::now();
    const double outCpuStart = threadCpu();
    meter.start();
    project.runNow();
    if (!waitFor([&] { return !project.running() && !project.busy() && lastShown(); })) {
        std::fprintf(stderr, "the last line never showed\n");
        return 1;
    }
    const double outStall = meter.stop();
    const double shown = seconds(outStart);
    const double outCpu = threadCpu() - outCpuStart;
    std::printf("%ld lines, program to /dev/null            %.0f lines/s\n", lines, devNull > 0 ? lines / devNull : 0.0);
    std::printf("%ld lines into \"Exe prekladač\"            %.0f lines/s  (goal at least 100000); "
                "the window's own CPU time allows %.0f lines/s\n",
                lines, lines / shown, outCpu > 0 ? lines / outCpu : 0.0);
    std::printf("  longest event-loop stall                 %.1f ms, %.1f ms of it busy; %d items kept\n",
                outStall * 1e3, meter.longestCpu() * 1e3, window.taskListExe()->count());

    // 3. A runaway program halted.
    const std::string runaway = d + "/runaway.exe";
    writeFile(runaway, "#!/bin/sh\nexec yes 'a line that never ends'\n", true);
    project.setCSource(d + "/runaway.c");
    const QString title = window.windowTitle();
    project.runNow();
    meter.start();
    waitFor([] { return false; }, 2.0);
    const auto haltStart = Clock::now();
    window.runCommand("HM_RunHalt");
    if (!waitFor([&] { return window.windowTitle() == title; }, 60)) {
        std::fprintf(stderr, "the title never came back\n");
        return 1;
    }
    const double halted = seconds(haltStart);
    const double haltStall = meter.stop();
    std::printf("\"Ukončiť prekladač\" on a runaway program    %.0f ms to the title  (goal at most 500 ms)\n", halted * 1e3);
    std::printf("  longest event-loop stall                 %.1f ms, %.1f ms of it busy\n", haltStall * 1e3,
                meter.longestCpu() * 1e3);
    waitFor([&] { return !project.busy(); }, 10);
    window.closeProject();
    return 0;
}
