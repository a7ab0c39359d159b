#include "support.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dltest {

PrivateNames::PrivateNames()
{
    static std::atomic<int> counter{0};
    suffix_ = "-t" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    setenv(VORK_CHAN_SUFFIX_ENV, suffix_.c_str(), 1);
}

PrivateNames::~PrivateNames()
{
    for (const char* n : {VORK_CHAN_BLOCK_NAME, VORK_CHAN_EVENT_TO_PEER, VORK_CHAN_EVENT_FROM_PEER})
        shm_unlink(path(n).c_str());
    unsetenv(VORK_CHAN_SUFFIX_ENV);
}

std::string PrivateNames::path(const char* name) const { return std::string("/") + name + suffix_; }

void LogHost::add(std::string s)
{
    std::lock_guard<std::mutex> l(m_);
    log_.push_back(std::move(s));
}

void LogHost::showRecord(const vork::debuglink::Record& r)
{
    add("show " + std::to_string(r.kind) + " " + std::to_string(r.value1) + " " + std::to_string(r.value2));
}

void LogHost::showStopped()
{
    const vork::debuglink::KomunVlakno* t = thread_.load();
    add("stopped@" + std::to_string(t ? t->value1() : -1));
}

Lines LogHost::log() const
{
    std::lock_guard<std::mutex> l(m_);
    return log_;
}

Lines LogHost::stops() const
{
    Lines out;
    for (const auto& s : log())
        if (s.rfind("stopped@", 0) == 0)
            out.push_back(s);
    return out;
}

bool LogHost::logged(const std::string& entry) const
{
    Lines l = log();
    return std::find(l.begin(), l.end(), entry) != l.end();
}

RawPeer::RawPeer()
{
    ok_ = vork_event_open(&toPeer_, VORK_CHAN_EVENT_TO_PEER, VORK_CHAN_CREATE, 1, 0) == 0 &&
          vork_event_open(&fromPeer_, VORK_CHAN_EVENT_FROM_PEER, VORK_CHAN_CREATE, 1, 0) == 0 &&
          vork_shm_open(&shm_, VORK_CHAN_BLOCK_NAME, VORK_CHAN_BLOCK_SIZE, VORK_CHAN_CREATE) == 0;
}

RawPeer::~RawPeer()
{
    vork_shm_close(&shm_);
    vork_event_close(&toPeer_);
    vork_event_close(&fromPeer_);
}

bool RawPeer::waitReady(uint32_t ms) { return vork_event_wait(&toPeer_, ms) != 0; }

std::optional<uint32_t> RawPeer::send(uint32_t kind, int32_t v1, int32_t v2, uint32_t ms)
{
    vork_event_reset(&toPeer_);
    vork_chan_put32(shm_.addr, VORK_CHAN_OFF_KIND, kind);
    vork_chan_put32(shm_.addr, VORK_CHAN_OFF_VALUE1, static_cast<uint32_t>(v1));
    vork_chan_put32(shm_.addr, VORK_CHAN_OFF_VALUE2, static_cast<uint32_t>(v2));
    vork_event_set(&fromPeer_);
    if (!vork_event_wait(&toPeer_, ms))
        return std::nullopt;
    return vork_chan_get32(shm_.addr, VORK_CHAN_OFF_REPLY);
}

std::future<std::vector<uint32_t>> scriptPeer(std::vector<Step> script)
{
    return std::async(std::launch::async, [script = std::move(script)] {
        std::vector<uint32_t> replies;
        RawPeer peer;
        if (!peer.ok() || !peer.waitReady(5000))
            return replies;
        for (const Step& s : script) {
            auto r = peer.send(s.kind, s.v1, s.v2, 5000);
            replies.push_back(r.value_or(0));
            if (!r || *r == VORK_REPLY_RUN_FREE)
                break;
        }
        return replies;
    });
}

bool stepThrough(vork::debuglink::KomunVlakno& t, vork::debuglink::StepCommand cmd, int maxStops)
{
    for (int i = 0; i < maxStops; ++i) {
        auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!t.suspended() && !t.loopEnded()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            t.waitSuspended(20ms);
        }
        if (t.loopEnded())
            return true;
        t.stepCommand(cmd);
    }
    return t.waitEnded(5s);
}

Child::Child(const Lines& argv)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(fds[1]);
    out_ = fds[0];
    fcntl(out_, F_SETFL, O_NONBLOCK);
}

Child::~Child()
{
    kill(SIGKILL);
    if (pid_ > 0 && !reaped_)
        waitpid(pid_, nullptr, 0);
    if (out_ >= 0)
        close(out_);
}

std::optional<int> Child::wait(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            reaped_ = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(5ms);
    }
}

void Child::kill(int sig)
{
    if (pid_ > 0 && !reaped_)
        ::kill(pid_, sig);
}

std::string Child::output()
{
    char buf[4096];
    ssize_t n;
    while ((n = read(out_, buf, sizeof buf)) > 0)
        buffered_.append(buf, static_cast<size_t>(n));
    return buffered_;
}

Lines Child::outputLines()
{
    Lines out;
    std::string text = output();
    for (size_t start = 0, nl; start < text.size(); start = nl + 1) {
        nl = std::min(text.find('\n', start), text.size());
        out.push_back(text.substr(start, nl - start));
    }
    return out;
}

} // namespace dltest
