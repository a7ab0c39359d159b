// One external process: the C compiler or the generated compiler.
//
// It is watched by polling, never by a blocking wait: exitCode() answers
// kStillActive until the process has ended and been reaped, and reaps it
// when it has.  A process ended by halt() reports kHaltedExitCode, one ended
// by any other signal 128 + the signal number.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vork {

class ChildProcess {
public:
    static constexpr int kStillActive = 259;
    static constexpr int kHaltedExitCode = 5000;

    struct Options {
        // The child's working directory; "" keeps ours.
        std::string workingDirectory;
        // When >= 0: the child's standard output and standard error, and
        // its standard input comes from /dev/null.  Otherwise it shares
        // ours.
        int outputFd = -1;
        // With outputFd: when >= 0, the child's standard input comes from
        // this descriptor instead of /dev/null.
        int inputFd = -1;
        // The child leads a process group of its own, and halt() ends the
        // whole group: a compiler driver's children (a script's g++, g++'s
        // cc1plus and ld) end with it instead of running on alone.  Such a
        // child no longer gets the terminal's Ctrl+C; the caller passes it
        // on (HeadlessProjekt does).
        bool ownProcessGroup = false;
    };

    ChildProcess() = default;
    // Reaps the process if it has already ended; a running one is left
    // running, as a closed handle leaves it.
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // argv[0] is the program path as found by findProgram().  False when
    // the program could not be started; error then holds the reason.
    bool start(const std::vector<std::string>& argv, const Options& options, std::string& error);

    // kStillActive while the process runs (or is not reaped yet); its exit
    // code once it has ended.  Before start() or after a failed start: -1.
    int exitCode();

    // Started and not yet seen to end.
    bool active() const { return pid_ > 0; }

    // SIGTERM now, SIGKILL if it still runs after grace (checked by the
    // following exitCode() polls).  No effect when the process is not
    // active or has already ended on its own.
    void halt(std::chrono::milliseconds grace = std::chrono::milliseconds(1000));

    // Sends sig to the process, or to its group when it leads one.
    void signal(int sig);

    pid_t pid() const { return pid_; }

private:
    bool reap();

    pid_t pid_ = -1;
    int exitCode_ = -1;
    bool halted_ = false;
    bool killed_ = false;
    bool group_ = false;
    std::chrono::steady_clock::time_point killAt_{};
};

} // namespace vork
