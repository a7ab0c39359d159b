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

// The words of the configured C compiler.  A path that names a program as
// it stands is one word, blanks and all ("/opt/my tools/cc"); otherwise it
// is split like a command line, so that a quoted path or a compiler with
// options of its own ("gcc -g") still works.  Empty when no program is
// found.
std::vector<std::string> compilerWords(const std::string& configured)
{
    std::string program = findProgram(configured, searchPath(), programDirectory());
    if (!program.empty())
        return {program};
    std::vector<std::string> words = splitCommandLine(configured);
    if (words.empty())
        return words;
    program = findProgram(words[0], searchPath(), programDirectory());
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

    // The capture file is a new file of its own: created exclusively under
    // a unique name, it never follows a link planted in the directory, never
    // truncates a file that is there, and a second build elsewhere in the
    // directory captures into its own.
    removeCaptureFile();
    std::vector<char> name(messageFile_.begin(), messageFile_.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);  // with the NUL
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        ui_.showMessage(texts::kTempFileFailed, texts::kErrorCaption, ProjectUi::Icon::Error);
        return false;
    }
    captureFile_ = name.data();
    // The program of an earlier compile stops counting as finished now.
    record_.programValid = false;
    saveBuildRecord();

    CurrentDirectory inProject(projectDir_);
    stop_ = false;
    compileState_ = kCompiling;
    auto process = std::make_unique<ChildProcess>();
    ChildProcess::Options options;
    options.workingDirectory = projectDir_;
    options.outputFd = fd;
    // A stop ends the compiler with all it started.
    options.ownProcessGroup = true;
    std::string error;
    // The source is one argument whatever its path holds (blanks, ';',
    // quotes, a leading '-'): no shell and no splitting ever sees it.
    std::vector<std::string> argv = compilerWords(config_.cCompilerPath);
    if (!argv.empty()) {
        const std::string source = paths::absolute(cSourceFile_, projectDir_);
        argv.push_back(source);
        // A source outside the project directory is only read; its program
        // is asked for in the project directory.
        const std::string exe = executablePath();
        if (exe != paths::absolute(paths::stripExtension(source) + ".exe", projectDir_)) {
            argv.push_back("-o");
            argv.push_back(exe);
        }
    }
    const bool started = !argv.empty() && process->start(argv, options, error);
    // The compiler writes through its own copy of the descriptor.
    ::close(fd);
    if (!started) {
        compileState_ = kCompileFailed;
        removeCaptureFile();
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
    // The compiler has read the generated sources: the make that started it
    // lets another project of the directory build (before the view hears
    // of the end, which may start the next make).
    releaseDirectoryLock();
    compileFinished(code);
    removeCaptureFile();
    if (stop_)
        showMessage(texts::kStopped);
    if (code != 0) {
        deleteExecutable();
    } else {
        // The program of this finished compile, as it is now: a later
        // make takes it as up to date only while it stays this file.
        record_.program = identityOf(executablePath());
        record_.programValid = record_.program.present;
        saveBuildRecord();
    }
    compileState_ = code != 0 ? kCompileFailed : kCompileSucceeded;
}

void Projekt::removeCaptureFile()
{
    // Only the file this project created is removed, and only once.
    if (!captureFile_.empty())
        ::unlink(captureFile_.c_str());
    captureFile_.clear();
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
    // The program is one word whatever its path holds; only the user's own
    // run arguments are split, the way a Windows command line is.
    std::vector<std::string> argv = splitCommandLine(runArguments_);
    argv.insert(argv.begin(), executablePath());
    if (findProgram(argv.front(), std::string(), std::string()).empty())
        argv.clear();
    // The generated compiler runs in the project directory, where its
    // relative arguments (an input file name) are meant.
    CurrentDirectory inProject(projectDir_);
    auto process = std::make_unique<ChildProcess>();
    ChildProcess::Options options;
    options.workingDirectory = projectDir_;
    std::string error;
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
    // The messages come in a file of this translation's own, made in the
    // project directory under a unique name.
    jalMessageName_.clear();
    const bool written = generators_->jalTranslate(jalArgument_, std::cout, jalMessageName_);
    std::cout.flush();
    jalFinished();
    return written;
}

std::string Projekt::jalMessageFile() const
{
    return jalMessageName_.empty() ? std::string() : projectDir_ + jalMessageName_;
}

} // namespace vork
