// Helpers shared by the debugger-link tests: private object names per test,
// a host that logs what the communication thread asks for, an in-process
// peer speaking the raw protocol, and a child process with bounded waits.
#pragma once

#include "vork/debuglink/debug_session.h"
#include "vork/debuglink/komvl.h"
#include "vork_chan.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

namespace dltest {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// Gives this process's channel objects names of their own (children
// inherit them) and removes whatever is left under them at the end.
class PrivateNames {
public:
    PrivateNames();
    ~PrivateNames();
    std::string path(const char* name) const; // "/" + name + suffix
    bool exists(const char* name) const { return access(("/dev/shm" + path(name)).c_str(), F_OK) == 0; }

private:
    std::string suffix_;
};

// Logs every call of the thread: "show K V1 V2", "stopped@V1", "running",
// "ended", "error TEXT".
class LogHost : public vork::debuglink::KomunHost {
public:
    void showRecord(const vork::debuglink::Record& r) override;
    void showStopped() override;
    void showRunning() override { add("running"); }
    void threadEnded() override { add("ended"); }
    void runLeftFree() override { add("free"); }
    void showChannelError(const std::string& text) override { add("error " + text); }

    Lines log() const;
    Lines stops() const; // only the "stopped@V1" entries
    bool logged(const std::string& entry) const;
    void attach(const vork::debuglink::KomunVlakno* t) { thread_ = t; }

private:
    void add(std::string s);
    mutable std::mutex m_;
    Lines log_;
    std::atomic<const vork::debuglink::KomunVlakno*> thread_{nullptr};
};

// The generated compiler's end done by hand over the C interface, so tests
// can also send what the helper refuses to.
class RawPeer {
public:
    RawPeer();
    ~RawPeer();
    bool ok() const { return ok_; }
    bool waitReady(uint32_t ms);
    // Resets VORK_PREK, writes the record, signals PREK_VORK and waits up to
    // ms for the answer; the reply code, or nothing on time-out.
    std::optional<uint32_t> send(uint32_t kind, int32_t v1, int32_t v2, uint32_t ms);
    void* block() { return shm_.addr; }

private:
    bool ok_ = false;
    vork_event toPeer_{};
    vork_event fromPeer_{};
    vork_shm shm_{};
};

struct Step {
    uint32_t kind;
    int32_t v1 = 0;
    int32_t v2 = 0;
};

// Runs a RawPeer over a script on its own thread; the future holds each
// record's reply (0 on a time-out).  Stops after a reply 14.
std::future<std::vector<uint32_t>> scriptPeer(std::vector<Step> script);

// Answers every stop of t with cmd until the loop ends or maxStops stops
// were answered.  Returns false when a stop or the end did not come in time.
bool stepThrough(vork::debuglink::KomunVlakno& t, vork::debuglink::StepCommand cmd, int maxStops = 100);

// A child process with its standard output in a pipe.
class Child {
public:
    explicit Child(const Lines& argv);
    ~Child();
    // Exit status, or nothing when the child has not ended within timeout.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    void kill(int sig);
    std::string output(); // everything written so far (after the end: all)
    Lines outputLines();

private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool reaped_ = false;
    std::string buffered_;
};

struct NoPrompts : vork::debuglink::DebugPrompts {
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void showError(const std::string&) override {}
};

// A fresh directory under /tmp, removed with everything in it at the end.
struct TempDir {
    std::string path;
    TempDir() { char d[] = "/tmp/vork-dltest-XXXXXX"; path = mkdtemp(d) ? d : ""; }
    ~TempDir() { std::error_code ec; if (!path.empty()) std::filesystem::remove_all(path, ec); }
};

} // namespace dltest
