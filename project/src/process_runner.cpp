// The process runner: the external C compile, the run of the generated
// compiler, halting it, and the Jal translation.  Processes are watched by
// 200 ms poll timers on the thread that owns the project; nothing here
// waits for a process to end.
#include "vork/project/projekt.h"

#include "vork/progdir.h"
#include "vork/project/build_texts.h"
#include "vork/project/child_process.h"
#include "vork/project/command_line.h"
#include "vork/project/current_directory.h"
#include "vork/project/paths.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace vork {

namespace {

std::string searchPath()
{
    const char* path = std::getenv("PATH");
    return path ? path : "/usr/local/bin:/usr/bin:/bin";
}

// Splits cmd and finds its program; an empty vector when there is none.
std::vector<std::string> resolveCommand(const std::string& cmd)
{
    std::vector<std::string> words = splitCommandLine(cmd);
    if (words.empty())
        return words;
    std::string program = findProgram(words[0], searchPath(), programDirectory());
    if (program.empty())
        return {};
    words[0] = program;
    return words;
}

} // namespace

void Projekt::setUpTimers()
{
    for (QTimer* t : {&compileTimer_, &runAfterCompileTimer_, &runTimer_}) {
        t->setInterval(kPollMs);
        t->setSingleShot(false);
    }
    connect(&compileTimer_, &QTimer::timeout, this, [this] { onCompileTimer(); });
    connect(&runAfterCompileTimer_, &QTimer::timeout, this, [this] { onRunAfterCompileTimer(); });
    connect(&runTimer_, &QTimer::timeout, this, [this] { onRunTimer(); });
}

void Projekt::stopTimers()
{
    compileTimer_.stop();
    runAfterCompileTimer_.stop();
    runTimer_.stop();
}

bool Projekt::busy() const
{
    return compileTimer_.isActive() || runAfterCompileTimer_.isActive() || runTimer_.isActive();
}

bool Projekt::running() const
{
    return runProcess_ && runProcess_->active();
}

bool Projekt::startCompile()
{
    // One compile at a time: a second would lose the first one's handle.
    if (compilerProcess_ && compilerProcess_->active())
        return false;

    const std::string cmd = config_.cCompilerPath + " " + cSourceFile_;
    const int fd = ::open(messageFile_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        ui_.showMessage(texts::kTempFileFailed, texts::kErrorCaption, ProjectUi::Icon::Error);
        return false;
    }

    CurrentDirectory inProject(projectDir_);
    stop_ = false;
    compileState_ = kCompiling;
    auto process = std::make_unique<ChildProcess>();
    ChildProcess::Options options;
    options.workingDirectory = projectDir_;
    options.outputFd = fd;
    std::string error;
    const std::vector<std::string> argv = resolveCommand(cmd);
    const bool started = !argv.empty() && process->start(argv, options, error);
    // The compiler writes through its own copy of the descriptor.
    ::close(fd);
    if (!started) {
        compileState_ = kCompileFailed;
        return false;
    }
    compilerProcess_ = std::move(process);
    compileStarted();
    compileTimer_.start();
    return true;
}

void Projekt::requestStop()
{
    stop_ = true;
    // The compiler gets no grace: nothing it would still write is wanted.
    if (compilerProcess_ && compilerProcess_->active())
        compilerProcess_->halt(std::chrono::milliseconds(0));
}

void Projekt::onCompileTimer()
{
    compileTimer_.stop();
    if (!compilerProcess_)
        return;
    const int code = compilerProcess_->exitCode();
    if (code == ChildProcess::kStillActive) {
        compileTimer_.start();
        return;
    }
    compilerProcess_.reset();
    compileFinished(code);
    if (stop_)
        showMessage(texts::kStopped);
    if (code != 0)
        deleteExecutable();
    compileState_ = code != 0 ? kCompileFailed : kCompileSucceeded;
}

int Projekt::run()
{
    const int r = make();
    if (r == kMakeUpToDate)
        runNow();
    else if (r == kMakeCompiling)
        runAfterCompileTimer_.start();
    return r;
}

void Projekt::onRunAfterCompileTimer()
{
    runAfterCompileTimer_.stop();
    switch (compileState_) {
    case kCompiling:
        runAfterCompileTimer_.start();
        break;
    case kCompileSucceeded:
        runNow();
        break;
    default:
        break;
    }
}

void Projekt::runNow()
{
    // One run at a time, as the run commands are disabled during a run.
    if (running())
        return;
    const std::string cmd = executableName() + " " + runArguments_;
    // The generated compiler runs in the project directory, where its
    // relative arguments (an input file name) are meant.
    CurrentDirectory inProject(projectDir_);
    auto process = std::make_unique<ChildProcess>();
    ChildProcess::Options options;
    options.workingDirectory = projectDir_;
    std::string error;
    const std::vector<std::string> argv = resolveCommand(cmd);
    std::fflush(nullptr);
    std::cout.flush();
    int childOut = -1;
    int childIn = -1;
    if (captureRunOutput_ && !argv.empty() && openRunStreams(childOut, childIn)) {
        options.outputFd = childOut;
        options.inputFd = childIn >= 0 ? childIn : childOut;
    }
    const bool started = !argv.empty() && process->start(argv, options, error);
    // The child has its own copies now.
    if (childOut >= 0)
        ::close(childOut);
    if (childIn >= 0)
        ::close(childIn);
    if (!started) {
        closeRunStreams();
        runStartFailed();
        return;
    }
    runProcess_ = std::move(process);
    runStarted();
    runTimer_.start();
}

void Projekt::onRunTimer()
{
    runTimer_.stop();
    if (!runProcess_)
        return;
    const int code = runProcess_->exitCode();
    if (code == ChildProcess::kStillActive) {
        runTimer_.start();
        return;
    }
    runProcess_.reset();
    // Whatever the program wrote before it ended is shown before its end.
    readRunOutput(true);
    closeRunStreams();
    runFinished(code);
}

void Projekt::halt()
{
    if (running())
        runProcess_->halt();
}

bool Projekt::runJal()
{
    jalStarted();
    CurrentDirectory inProject(projectDir_);
    // The translator's parse errors are console lines.
    const bool written = generators_->jalTranslate(jalArgument_, std::cout);
    std::cout.flush();
    jalFinished();
    return written;
}

std::string Projekt::jalMessageFile() const
{
    return projectDir_ + texts::kJalMessageFile;
}

} // namespace vork
