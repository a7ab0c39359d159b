#include "vork/project/headless_projekt.h"

#include "vork/project/atomic_file.h"
#include "vork/project/build_texts.h"
#include "vork/project/paths.h"
#include "vork/project/stamp.h"

#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace vork {

namespace {

// The main window's title with a project open.
const char* const kAppTitle = "VORK 1.5";

} // namespace

HeadlessProjekt::HeadlessProjekt(const std::string& projectFile, bool createNew, ProjectUi& ui, std::FILE* out,
                                 std::FILE* err, bool waitForLock)
    : Projekt(projectFile, createNew, ui, nullptr, waitForLock), out_(out), err_(err)
{
    haltTimer_.setSingleShot(true);
    QObject::connect(&haltTimer_, &QTimer::timeout, this, [this] { halt(); });
    title_ = std::string(kAppTitle) + " - " + paths::fileName(baseName());
    sinks().onMessage = [this](const std::string& line) { addTask(line); };
    sinks().onError = [this](const std::string& item) {
        if (err_) {
            std::fprintf(err_, "%s\n", item.c_str());
            std::fflush(err_);
        }
    };
}

void HeadlessProjekt::addTask(const std::string& line)
{
    taskList_.push_back(line);
    if (out_) {
        std::fprintf(out_, "%s\n", line.c_str());
        std::fflush(out_);
    }
}

void HeadlessProjekt::addExe(const std::string& line)
{
    exeList_.push_back(line);
    if (out_) {
        std::fprintf(out_, "%s\n", line.c_str());
        std::fflush(out_);
    }
}

void HeadlessProjekt::pushTitle(const char* marker)
{
    titles_.push_back(title_);
    title_ += marker;
    if (showTitles_ && out_)
        std::fprintf(out_, "titulok: %s\n", title_.c_str());
}

void HeadlessProjekt::popTitle()
{
    if (titles_.empty())
        return;
    title_ = titles_.back();
    titles_.pop_back();
    if (showTitles_ && out_)
        std::fprintf(out_, "titulok: %s\n", title_.c_str());
}

void HeadlessProjekt::replaceFromFile(const std::string& path, std::vector<std::string>& list)
{
    std::string bytes;
    if (path.empty() || !readWholeFile(path, bytes, kMaxCaptureBytes))
        return;
    list.clear();
    for (const std::string& line : splitLines(bytes)) {
        if (&list == &exeList_)
            addExe(line);
        else
            addTask(line);
    }
    ::unlink(path.c_str());
}

void HeadlessProjekt::buildStarted()
{
    // The error list, its table and the counters start afresh; the
    // message list is emptied.
    sinks().resetForBuild();
    taskList_.clear();
    addTask(texts::kBuildStart);
}

void HeadlessProjekt::buildFinished(int result)
{
    if (result == kBuildUpToDate)
        addTask(texts::kAllUpToDate);
}

void HeadlessProjekt::lexGenerationStarted()
{
    pushTitle(texts::kTitleLex);
    addTask(texts::kSeparator);
    addTask(texts::kLexGeneration + lexSpecName() + "->" + lexOutputName());
}

void HeadlessProjekt::yaccGenerationStarted()
{
    // A LEX project has no grammar: its parser step is not logged.
    if (kind() > kLexProject) {
        pushTitle(texts::kTitleYacc);
        addTask(texts::kSeparator);
        addTask(texts::kYaccGeneration + yaccSpecName() + "->" + parserOutputName());
    }
}

void HeadlessProjekt::lexGenerationFinished(int)
{
    popTitle();
}

void HeadlessProjekt::yaccGenerationFinished(int)
{
    if (kind() > kLexProject)
        popTitle();
}

void HeadlessProjekt::executableStepStarted()
{
    addTask(texts::kExeStart);
}

void HeadlessProjekt::showMessage(const std::string& text)
{
    addTask(text);
}

void HeadlessProjekt::compileStarted()
{
    pushTitle(texts::kTitleCompile);
    addTask(texts::kSeparator);
    addTask(texts::kExeGeneration + paths::fileName(getCSource()));
}

void HeadlessProjekt::compileFinished(int exitCode)
{
    popTitle();
    lastCompileExitCode_ = exitCode;
    replaceFromFile(captureFile(), exeList_);
    if (exitCode != 0)
        addExe(texts::compilerFailed(exitCode));
    if (exitCode == 0 && debugMode())
        loadTokenNames();
}

void HeadlessProjekt::compileStartFailed()
{
    addExe(texts::kCompilerStartFailedHead + configuration().cCompilerPath + texts::kCompilerStartFailedTail);
}

void HeadlessProjekt::runStarted()
{
    pushTitle(texts::kTitleRun);
    if (debugMode() && debugHooks_)
        debugHooks_->debugRunStarted(*this);
    addTask(texts::kRunStarted);
    if (haltAfterMs_ >= 0)
        haltTimer_.start(haltAfterMs_);
}

void HeadlessProjekt::runFinished(int exitCode)
{
    haltTimer_.stop();
    popTitle();
    lastRunExitCode_ = exitCode;
    if (debugMode() && debugHooks_)
        debugHooks_->debugRunFinished(*this, exitCode);
}

void HeadlessProjekt::runStartFailed()
{
    runStartFailed_ = true;
    addExe(texts::kRunStartFailedHead + executableName() + texts::kRunStartFailedTail);
}

void HeadlessProjekt::jalStarted()
{
    addTask(texts::kSeparator);
    addTask(texts::kJalGeneration);
}

void HeadlessProjekt::jalFinished()
{
    replaceFromFile(jalMessageFile(), taskList_);
}

namespace {

// Where a signal handler reports the signal while waitUntilIdle() waits:
// the write end of its pipe, -1 otherwise.  A handler can reach nothing
// but such a number.
std::atomic<int> signalPipe{-1};

extern "C" void reportSignal(int sig)
{
    const int fd = signalPipe.load();
    if (fd >= 0) {
        const unsigned char b = static_cast<unsigned char>(sig);
        const ssize_t ignored = ::write(fd, &b, 1);
        (void)ignored;
    }
}

} // namespace

void HeadlessProjekt::waitUntilIdle()
{
    if (!busy())
        return;
    // The compiler leads a process group of its own, so the terminal's
    // Ctrl+C no longer reaches it, and a signal to this process alone never
    // did: either would leave it compiling (or hanging) on its own.  Only
    // signals that would end this process are taken over.
    const int watched[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction previous[3];
    bool taken[3] = {false, false, false};
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        signalPipe = fds[1];
        for (int i = 0; i < 3; ++i) {
            struct sigaction handler {};
            handler.sa_handler = reportSignal;
            sigemptyset(&handler.sa_mask);
            handler.sa_flags = SA_RESTART;
            taken[i] = ::sigaction(watched[i], nullptr, &previous[i]) == 0 &&
                       !(previous[i].sa_flags & SA_SIGINFO) && previous[i].sa_handler == SIG_DFL &&
                       ::sigaction(watched[i], &handler, nullptr) == 0;
        }
    }
    int caught = 0;
    QEventLoop loop;
    std::unique_ptr<QSocketNotifier> notifier;
    if (fds[0] >= 0) {
        notifier = std::make_unique<QSocketNotifier>(fds[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &loop, [&] {
            unsigned char b;
            while (::read(fds[0], &b, 1) == 1) {
                if (caught == 0) {
                    caught = b;
                    requestStop();
                    halt();
                }
            }
        });
    }
    QTimer check;
    check.setInterval(20);
    QObject::connect(&check, &QTimer::timeout, &loop, [this, &loop] {
        if (!busy())
            loop.quit();
    });
    check.start();
    loop.exec();

    notifier.reset();
    for (int i = 0; i < 3; ++i)
        if (taken[i])
            ::sigaction(watched[i], &previous[i], nullptr);
    signalPipe = -1;
    for (int fd : fds)
        if (fd >= 0)
            ::close(fd);
    // The signal's own end, now that nothing is left running.
    if (caught != 0)
        ::raise(caught);
}

} // namespace vork
