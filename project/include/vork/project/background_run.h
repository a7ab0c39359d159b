// A generator run on a worker thread, for a caller whose event loop must
// keep running meanwhile (the window repaints, its timers fire, a "stop"
// button works).
//
// The generator writes to RelaySinks, which only queue; the caller's thread
// takes the queue in batches and passes it on to the real sinks, in the
// order written, so nothing of a window is ever touched from the worker.
#pragma once

#include "vork/sinks.h"

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vork {

class RelaySinks : public Sinks {
public:
    // stop is read by stopRequested(); it must outlive the relay.
    explicit RelaySinks(const std::atomic<bool>& stop) : stop_(stop) {}

    void message(const std::string& text) override;
    void lexError(const std::string& text, int line) override;
    void lexWarning(const std::string& text, int line) override;
    void yaccError(const std::string& text, int line) override;
    bool stopRequested() const override { return stop_.load(std::memory_order_relaxed); }

    // Passes the oldest queued entries, at most `most` of them, on to target,
    // in order.  The number of entries passed.
    size_t drainInto(Sinks& target, size_t most = static_cast<size_t>(-1));
    bool empty() const;

private:
    enum class Kind { Message, LexError, LexWarning, YaccError };
    struct Entry {
        Kind kind;
        std::string text;
        int line;
    };
    void push(Kind kind, const std::string& text, int line);

    const std::atomic<bool>& stop_;
    mutable std::mutex mutex_;
    std::deque<Entry> queue_;
};

// Runs call on a worker thread with a RelaySinks over stop, and meanwhile
// runs the calling thread's event loop; every drainMs the oldest queued
// lines, at most batch of them, go on to target, so that no burst of lines
// holds the loop up for long.  Returns, with every line passed on, call's
// result (1 when it threw).  Must be called on a thread with a Qt event
// dispatcher.
int runInBackground(const std::function<int(Sinks&)>& call, Sinks& target, const std::atomic<bool>& stop,
                    int drainMs = 25, size_t batch = 250);

} // namespace vork
