// The generated compiler's standard streams when the IDE shows them.  The
// program gets a pseudo-terminal as its console: its C library then writes
// a line as soon as it ends (a pipe would hold the output back until the
// program exits), and the terminal's line discipline turns the lines typed
// in the window into its input, with Ctrl+D as the end of input.  Our side
// is watched by a socket notifier on the main thread and never blocks.
#include "vork/project/projekt.h"

#include <QSocketNotifier>

#include <cerrno>
#include <chrono>
#include <vector>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace vork {

bool Projekt::openRunStreams(int& childOut, int& childIn)
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return false;
    // The window shows the typed lines itself; the terminal must not echo
    // them into the output a second time.
    termios t{};
    if (::tcgetattr(slave, &t) == 0) {
        t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
        ::tcsetattr(slave, TCSANOW, &t);
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    runOutFd_ = master;
    runInFd_ = ::fcntl(master, F_DUPFD_CLOEXEC, 0);
    // The child's standard input, output and error all are the terminal.
    childOut = slave;
    childIn = -1;
    runOutPending_.clear();
    runOutNotifier_ = new QSocketNotifier(runOutFd_, QSocketNotifier::Read, this);
    connect(runOutNotifier_, &QSocketNotifier::activated, this, [this] { readRunOutput(false); });
    return true;
}

namespace {
// How long one look at the program's output may read before the event loop
// gets its turn again (a menu opens, a halt is seen), and how much text
// without a line end makes a line of its own.
constexpr auto kReadBudget = std::chrono::milliseconds(10);
constexpr size_t kLongestLine = 65536;
// After the program's end the terminal holds at most its buffer: more is
// written by a process the program left behind, which could go on forever.
constexpr size_t kFinalReadBytes = size_t(4) << 20;
} // namespace

void Projekt::readRunOutput(bool toEnd)
{
    if (runOutFd_ < 0)
        return;
    // While the program runs, the reading stops after a while (the notifier
    // calls again); at its end everything left is read, up to a bound.
    const auto until = std::chrono::steady_clock::now() + kReadBudget;
    size_t readBytes = 0;
    std::vector<char> buffer(65536);
    char* chunk = buffer.data();
    const size_t chunkSize = buffer.size();
    for (;;) {
        const ssize_t n = ::read(runOutFd_, chunk, chunkSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // End of file (EIO on a terminal): every writer, the program and
            // whatever it started, is gone; stop watching so that the
            // notifier does not spin.
            if ((n == 0 || errno == EIO) && runOutNotifier_)
                runOutNotifier_->setEnabled(false);
            break;
        }
        runOutPending_.append(chunk, static_cast<size_t>(n));
        readBytes += static_cast<size_t>(n);
        // The lines are cut out by position and the rest is moved once:
        // erasing each line from the front would move the rest every time.
        size_t from = 0;
        size_t nl;
        while ((nl = runOutPending_.find('\n', from)) != std::string::npos) {
            // The terminal sends a line end as CR LF; a program that writes
            // CR LF itself arrives with CR CR LF.
            size_t end = nl;
            while (end > from && runOutPending_[end - 1] == '\r')
                --end;
            runOutput(runOutPending_.substr(from, end - from));
            from = nl + 1;
        }
        // Text without a line end comes in pieces of bounded size.
        while (runOutPending_.size() - from >= kLongestLine) {
            runOutput(runOutPending_.substr(from, kLongestLine));
            from += kLongestLine;
        }
        runOutPending_.erase(0, from);
        if (toEnd ? readBytes >= kFinalReadBytes
                  : n < static_cast<ssize_t>(chunkSize) || std::chrono::steady_clock::now() > until)
            break;
    }
    if (toEnd && !runOutPending_.empty()) {
        std::string line;
        line.swap(runOutPending_);
        runOutput(line);
    }
}

void Projekt::closeRunStreams()
{
    delete runOutNotifier_;
    runOutNotifier_ = nullptr;
    if (runOutFd_ >= 0)
        ::close(runOutFd_);
    runOutFd_ = -1;
    if (runInFd_ >= 0)
        ::close(runInFd_);
    runInFd_ = -1;
    runOutPending_.clear();
}

bool Projekt::writeRunInput(const std::string& text)
{
    if (runInFd_ < 0)
        return false;
    size_t done = 0;
    int spins = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(runInFd_, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // A program that does not read: give it a moment, never hang.
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ++spins < 50) {
            ::usleep(2000);
            continue;
        }
        return false;
    }
    return true;
}

void Projekt::closeRunInput()
{
    if (runInFd_ < 0)
        return;
    // The terminal's end-of-file character, at the start of a line: the
    // program's next read returns end of file.
    writeRunInput("\x04");
    ::close(runInFd_);
    runInFd_ = -1;
}

} // namespace vork
