#include "vork/project/background_run.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <thread>

namespace vork {

void RelaySinks::push(Kind kind, const std::string& text, int line)
{
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(Entry{kind, text, line});
}

void RelaySinks::message(const std::string& text)
{
    push(Kind::Message, text, -1);
}

void RelaySinks::lexError(const std::string& text, int line)
{
    push(Kind::LexError, text, line);
}

void RelaySinks::lexWarning(const std::string& text, int line)
{
    push(Kind::LexWarning, text, line);
}

void RelaySinks::yaccError(const std::string& text, int line)
{
    push(Kind::YaccError, text, line);
}

bool RelaySinks::empty() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.empty();
}

size_t RelaySinks::drainInto(Sinks& target, size_t most)
{
    std::vector<Entry> batch;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t n = std::min(most, queue_.size());
        batch.assign(std::make_move_iterator(queue_.begin()), std::make_move_iterator(queue_.begin() + static_cast<std::ptrdiff_t>(n)));
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n));
    }
    // Outside the lock: the target may be slow (a list widget), the worker
    // must not wait for it.
    for (const Entry& e : batch) {
        switch (e.kind) {
        case Kind::Message:
            target.message(e.text);
            break;
        case Kind::LexError:
            target.lexError(e.text, e.line);
            break;
        case Kind::LexWarning:
            target.lexWarning(e.text, e.line);
            break;
        case Kind::YaccError:
            target.yaccError(e.text, e.line);
            break;
        }
    }
    return batch.size();
}

int runInBackground(const std::function<int(Sinks&)>& call, Sinks& target, const std::atomic<bool>& stop,
                    int drainMs, size_t batch)
{
    // Without an event loop to keep going there is nothing to gain.
    if (!QCoreApplication::instance()) {
        RelaySinks relay(stop);
        int status = 1;
        try {
            status = call(relay);
        } catch (...) {
            status = 1;
        }
        relay.drainInto(target);
        return status;
    }
    RelaySinks relay(stop);
    QEventLoop loop;
    std::atomic<bool> done{false};
    int status = 1;
    QTimer drain;
    drain.setInterval(drainMs);
    auto finished = [&] { return done.load() && relay.empty(); };
    QObject::connect(&drain, &QTimer::timeout, &loop, [&] {
        relay.drainInto(target, batch);
        if (finished())
            loop.quit();
        else if (done.load())
            drain.setInterval(0);  // the rest as fast as the loop allows
    });
    std::thread worker([&] {
        try {
            status = call(relay);
        } catch (...) {
            // The generators catch their own failures; anything left is a
            // failed run, not a reason to take the environment down.
            status = 1;
        }
        done.store(true);
        // Wakes the loop at once rather than at the next drain.
        QMetaObject::invokeMethod(&loop, [&drain] { drain.start(0); }, Qt::QueuedConnection);
    });
    drain.start();
    while (!finished())
        loop.exec();
    worker.join();
    drain.stop();
    return status;
}

} // namespace vork
