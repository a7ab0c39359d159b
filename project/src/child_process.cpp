#include "vork/project/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vork {

namespace {

// Writes the whole buffer, retrying on EINTR; usable in the child between
// fork and exec.
void writeAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

} // namespace

ChildProcess::~ChildProcess()
{
    if (pid_ > 0)
        reap();
}

bool ChildProcess::start(const std::vector<std::string>& argv, const Options& options, std::string& error)
{
    if (argv.empty() || argv[0].empty()) {
        error = std::strerror(ENOENT);
        return false;
    }
    // Everything the child needs is prepared here: between fork and exec
    // only async-signal-safe calls are allowed.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const char* dir = options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();

    int nullFd = -1;
    if (options.outputFd >= 0 && options.inputFd < 0) {
        nullFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (nullFd < 0) {
            error = std::strerror(errno);
            return false;
        }
    }
    // The child reports a failed chdir or exec through this pipe; a
    // successful exec closes it empty.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        if (nullFd >= 0)
            ::close(nullFd);
        return false;
    }

    const pid_t pid = ::fork();
    if (pid < 0) {
        error = std::strerror(errno);
        ::close(report[0]);
        ::close(report[1]);
        if (nullFd >= 0)
            ::close(nullFd);
        return false;
    }
    if (pid == 0) {
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        int err = 0;
        if (options.ownProcessGroup && ::setpgid(0, 0) != 0)
            err = errno;
        if (!err && dir && ::chdir(dir) != 0)
            err = errno;
        if (!err && options.outputFd >= 0) {
            const int in = options.inputFd >= 0 ? options.inputFd : nullFd;
            if (::dup2(in, 0) < 0 || ::dup2(options.outputFd, 1) < 0 || ::dup2(options.outputFd, 2) < 0)
                err = errno;
        }
        if (!err) {
            ::execv(args[0], args.data());
            err = errno;
        }
        writeAll(report[1], &err, sizeof err);
        ::_exit(127);
    }

    ::close(report[1]);
    // Also here, so that the group exists before anyone signals it, however
    // the two processes are scheduled (after the exec it fails harmlessly).
    if (options.ownProcessGroup)
        ::setpgid(pid, pid);
    if (nullFd >= 0)
        ::close(nullFd);
    int childErr = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &childErr, sizeof childErr);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got > 0) {
        // The child is exiting right now; collect it so no zombie stays.
        int status;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        error = std::strerror(childErr);
        return false;
    }
    pid_ = pid;
    exitCode_ = kStillActive;
    halted_ = false;
    killed_ = false;
    group_ = options.ownProcessGroup;
    return true;
}

bool ChildProcess::reap()
{
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return false;
    // A halted group goes with its leader: what the leader started and left
    // behind (one that survived the TERM) is killed too.  The group's number
    // stays taken while any member lives, so no other process is hit.
    if (group_ && halted_)
        ::kill(-pid_, SIGKILL);
    if (r < 0) {
        // Someone else reaped it; the code is lost.
        exitCode_ = halted_ ? kHaltedExitCode : -1;
    } else if (halted_) {
        exitCode_ = kHaltedExitCode;
    } else if (WIFEXITED(status)) {
        exitCode_ = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        exitCode_ = 128 + WTERMSIG(status);
    } else {
        exitCode_ = -1;
    }
    pid_ = -1;
    return true;
}

int ChildProcess::exitCode()
{
    if (pid_ <= 0)
        return exitCode_;
    if (reap())
        return exitCode_;
    if (halted_ && !killed_ && std::chrono::steady_clock::now() >= killAt_) {
        signal(SIGKILL);
        killed_ = true;
    }
    return kStillActive;
}

void ChildProcess::halt(std::chrono::milliseconds grace)
{
    if (pid_ <= 0 || halted_)
        return;
    // One that has already ended keeps its own exit code.
    if (reap())
        return;
    halted_ = true;
    killAt_ = std::chrono::steady_clock::now() + grace;
    signal(SIGTERM);
}

void ChildProcess::signal(int sig)
{
    if (pid_ > 0)
        ::kill(group_ ? -pid_ : pid_, sig);
}

} // namespace vork
