#include "vork/debuglink/komvl.h"

#include "vork/debuglink/zdiel.h"

#include <exception>
#include <memory>

namespace vork::debuglink {

// Routes the block's failure text to the owner's message box through the
// same synchronous call as the displays.
class KomunVlakno::ReporterAdapter : public ChannelReporter {
public:
    explicit ReporterAdapter(KomunVlakno& t) : t_(t) {}
    void showChannelError(const std::string& text) override
    {
        t_.callDisplay([this, &text] { t_.host_.showChannelError(text); });
    }

private:
    KomunVlakno& t_;
};

KomunVlakno::KomunVlakno(KomunHost& host, DisplayCall mode)
    : host_(host), mode_(mode), token_(std::make_shared<ServiceToken>())
{
    token_->self = this;
    thread_ = std::thread([this] { run(); });
}

KomunVlakno::~KomunVlakno()
{
    finish();
    std::lock_guard<std::mutex> lock(token_->m);
    token_->self = nullptr;
}

std::function<void()> KomunVlakno::serviceHandle()
{
    std::weak_ptr<ServiceToken> weak = token_;
    return [weak] {
        if (auto token = weak.lock()) {
            std::lock_guard<std::mutex> lock(token->m);
            if (token->self)
                token->self->serviceMainThread();
        }
    };
}

void KomunVlakno::stepCommand(StepCommand command)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        flags_ = applyStepCommand(flags_, command);
    }
    host_.showRunning();
    resume();
}

void KomunVlakno::presetFlags(const StepFlags& flags)
{
    std::lock_guard<std::mutex> lock(mutex_);
    flags_ = flags;
}

void KomunVlakno::resume()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (suspended_) {
        suspended_ = false;
        changed_.notify_all();
    } else if (stopping_) {
        resumeEarly_ = true;
    }
}

bool KomunVlakno::suspended() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return suspended_;
}

void KomunVlakno::requestTermination()
{
    std::lock_guard<std::mutex> lock(mutex_);
    terminate_ = true;
    changed_.notify_all();
}

bool KomunVlakno::loopEnded() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return loopEnded_;
}

StepFlags KomunVlakno::flags() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return flags_;
}

std::string KomunVlakno::failure() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

bool KomunVlakno::waitSuspended(std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return suspended_; });
}

bool KomunVlakno::waitEnded(std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return loopEnded_; });
}

void KomunVlakno::finish()
{
    if (thread_.joinable()) {
        resume();
        requestTermination();
        if (mode_ == DisplayCall::MainThread) {
            // The worker may be waiting for a display right now; serve it
            // here, since the main thread is busy in this call.
            std::unique_lock<std::mutex> lock(mutex_);
            while (!loopEnded_) {
                if (pending_) {
                    lock.unlock();
                    serviceMainThread();
                    lock.lock();
                    continue;
                }
                changed_.wait(lock);
            }
        }
        thread_.join();
    }
    serviceMainThread();
}

void KomunVlakno::serviceMainThread()
{
    std::function<void()> fn;
    bool runEndHandler = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        fn = std::move(pending_);
        pending_ = nullptr;
        if (!fn && loopEnded_ && !endHandled_) {
            endHandled_ = true;
            runEndHandler = true;
        }
    }
    if (fn) {
        struct Done {
            KomunVlakno& t;
            ~Done()
            {
                std::lock_guard<std::mutex> lock(t.mutex_);
                t.pendingDone_ = true;
                t.changed_.notify_all();
            }
        } done{*this};
        fn();
    }
    if (runEndHandler)
        endHandler();
}

void KomunVlakno::endHandler()
{
    if (answeredRunFree_)
        host_.runLeftFree();
    host_.threadEnded();
}

void KomunVlakno::flushStates()
{
    for (const Record& r : pendingStates_)
        host_.noteRecord(r);
    pendingStates_.clear();
}

void KomunVlakno::callDisplay(const std::function<void()>& fn)
{
    if (mode_ == DisplayCall::Direct) {
        fn();
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    pending_ = fn;
    pendingDone_ = false;
    changed_.notify_all();
    lock.unlock();
    host_.wakeMainThread(serviceHandle());
    lock.lock();
    changed_.wait(lock, [this] { return pendingDone_; });
}

void KomunVlakno::suspendSelf()
{
    std::unique_lock<std::mutex> lock(mutex_);
    const bool goOn = terminate_ || resumeEarly_;
    stopping_ = false;
    resumeEarly_ = false;
    if (goOn)
        return;
    suspended_ = true;
    changed_.notify_all();
    // A termination request also lets the worker go: the owner's resume may
    // have come just before the stop, and the owner then waits for the loop.
    changed_.wait(lock, [this] { return !suspended_ || terminate_; });
    suspended_ = false;
}

bool KomunVlakno::takeRunFree()
{
    std::lock_guard<std::mutex> lock(mutex_);
    bool free = flags_.runFree;
    flags_.runFree = false;
    return free;
}

void KomunVlakno::run()
{
    try {
        loop();
    } catch (const std::exception& e) {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = e.what();
    }
    if (mode_ == DisplayCall::Direct) {
        // Headless: the end handler runs here, before the end is announced,
        // so whoever waits for the end finds its effects.
        endHandler();
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        loopEnded_ = true;
        if (mode_ == DisplayCall::Direct)
            endHandled_ = true;
        changed_.notify_all();
    }
    if (mode_ == DisplayCall::MainThread)
        host_.wakeMainThread(serviceHandle());
}

void KomunVlakno::loop()
{
    std::unique_ptr<TUdal> toCompiler = std::make_unique<TUdal>(kEventToCompiler, true);
    std::unique_ptr<TUdal> fromCompiler = std::make_unique<TUdal>(kEventFromCompiler, true);
    std::unique_ptr<TSharedMem> block;
    // The objects go in this order: the block, then VORK_PREK, then
    // PREK_VORK, whichever way the loop is left.
    struct Release {
        std::unique_ptr<TSharedMem>& block;
        std::unique_ptr<TUdal>& to;
        std::unique_ptr<TUdal>& from;
        ~Release()
        {
            block.reset();
            to.reset();
            from.reset();
        }
    } release{block, toCompiler, fromCompiler};

    ReporterAdapter reporter(*this);
    block = std::make_unique<TSharedMem>(kBlockName, kBlockSize, &reporter);

    toCompiler->Set(); // ready
    for (;;) {
        if (!fromCompiler->Wait(kWaitSliceMs)) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (terminate_)
                return;
            continue;
        }
        fromCompiler->Reset();
        Record record = readRecord(block->Buffer);
        if (!isRecordKind(record.kind))
            continue; // not a record: no display, no answer

        value1_ = record.value1;
        if (record.kind == static_cast<uint32_t>(RecordKind::RecoveryPops))
            value2_ = record.value2;
        if (record.kind != static_cast<uint32_t>(RecordKind::State))
            callDisplay([this, &record] {
                flushStates();
                host_.showRecord(record);
            });
        else
            pendingStates_.push_back(record);

        if (stopsRun(record.kind, flags())) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                stopping_ = true;
                resumeEarly_ = false;
            }
            callDisplay([this] {
                flushStates();
                host_.showStopped();
            });
            suspendSelf();
        }

        if (takeRunFree()) {
            writeReply(block->Buffer, ReplyCode::RunFree);
            answeredRunFree_ = true;
            ++replies_;
            toCompiler->Set();
            return;
        }
        writeReply(block->Buffer, ReplyCode::Continue);
        ++replies_;
        toCompiler->Set();
        if (record.kind == static_cast<uint32_t>(RecordKind::AnalysisEnd))
            return;
    }
}

} // namespace vork::debuglink
