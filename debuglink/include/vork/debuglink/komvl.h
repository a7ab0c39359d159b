// KomunVlakno: the environment's worker of a debug run.
//
// It creates the channel objects, answers the generated compiler record by
// record, has every record displayed synchronously by its owner, stops the
// run after the kinds the step flags select and waits there until a step
// command (or its owner) resumes it.
#pragma once

#include "vork/debuglink/record.h"
#include "vork/debuglink/stepping.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vork::debuglink {

// What the owner shows.  Every call but wakeMainThread runs on the main
// thread while the worker waits (or, with DisplayCall::Direct, on the worker
// itself while nothing else runs the displays).
class KomunHost {
public:
    virtual ~KomunHost() = default;
    // The display of one record; never called for State (kind 6).
    virtual void showRecord(const Record& record) = 0;
    // A State record, which has no display.  It is handed over inside the
    // next display call (or the stop after it), just before that display,
    // so following the parse costs no call of its own on the main thread.
    virtual void noteRecord(const Record& record) { (void)record; }
    // The run stops: title + "[Zastaveny]", step commands enabled.
    virtual void showStopped() = 0;
    // A step command lets the run go: title + "[Spusteny]", step commands
    // disabled.  Called by stepCommand() on the caller's thread.
    virtual void showRunning() = 0;
    // The end handler, once the loop has ended however it ended.
    virtual void threadEnded() = 0;
    // The loop ended on a reply 14: the program goes on unwatched, and no
    // later record is read.  Called just before threadEnded, on its thread.
    virtual void runLeftFree() {}
    // The shared block could not be created (a message box with OK).
    virtual void showChannelError(const std::string& text) = 0;
    // DisplayCall::MainThread only: queue service to run soon on the main
    // thread (in Qt: a queued invocation) and return without waiting.
    // service stays safe to call after the thread object is gone, when it
    // does nothing.
    virtual void wakeMainThread(std::function<void()> service) { (void)service; }
};

enum class DisplayCall {
    Direct,     // headless: displays run on the worker
    MainThread, // GUI: displays run in serviceMainThread() on the main thread
};

class KomunVlakno {
public:
    // How long one wait for a record lasts; a termination request is seen
    // when such a wait times out.
    static constexpr uint32_t kWaitSliceMs = 300;

    // Starts the worker at once, running, with all step flags false.
    explicit KomunVlakno(KomunHost& host, DisplayCall mode = DisplayCall::Direct);
    // finish(), so the worker never outlives its object.
    ~KomunVlakno();

    KomunVlakno(const KomunVlakno&) = delete;
    KomunVlakno& operator=(const KomunVlakno&) = delete;

    // A step command (menu item or toolbar button): set the flags, show the
    // run as going, resume the worker.
    void stepCommand(StepCommand command);

    // Sets all seven flags at once, without a display and without a
    // resume: what several step commands chosen before the first record
    // would leave together (a terminal debugger's "--stop red,sem").
    void presetFlags(const StepFlags& flags);

    // Resumes the worker when it is suspended, or lets it go on at once
    // when it has shown its stop but not yet suspended; otherwise has no
    // effect.
    void resume();
    bool suspended() const;
    // Asks the loop to end; seen at the next time-out of a wait for a
    // record.  A worker stopped at a record is not held any longer once
    // termination has been requested.
    void requestTermination();
    // The owner's end of a run: resume, request termination, wait for the
    // loop to end (running the displays it still asks for) and join.  Runs
    // the end handler if it has not run yet.  Idempotent.
    void finish();

    // DisplayCall::MainThread: runs the display the worker waits for, and
    // the end handler once the loop has ended.  Call it on the main thread.
    void serviceMainThread();
    // A callable that runs serviceMainThread() while this object exists and
    // does nothing afterwards; what wakeMainThread() hands to the host.
    std::function<void()> serviceHandle();

    // Bounded waits for a state change, for headless drivers and tests:
    // true when the worker is suspended (resp. its loop has ended) before
    // the time runs out.
    bool waitSuspended(std::chrono::milliseconds timeout) const;
    // With DisplayCall::Direct the end handler has run once the loop counts
    // as ended.
    bool waitEnded(std::chrono::milliseconds timeout) const;

    bool loopEnded() const;
    StepFlags flags() const;
    // The values of the record in hand (value2 only for kind 3).
    int32_t value1() const { return value1_.load(); }
    int32_t value2() const { return value2_.load(); }
    // Records answered so far.
    uint64_t repliesSent() const { return replies_.load(); }
    // Whether the last reply of the run was 14.
    bool answeredRunFree() const { return answeredRunFree_.load(); }
    // The text of the error that ended the loop early; empty otherwise.
    std::string failure() const;

private:
    class ReporterAdapter;

    void run();
    void loop();
    void callDisplay(const std::function<void()>& fn);
    void flushStates();
    void endHandler();
    void suspendSelf();
    bool takeRunFree();

    std::vector<Record> pendingStates_; // State records not yet handed to the host (worker)
    KomunHost& host_;
    const DisplayCall mode_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    StepFlags flags_;
    bool suspended_ = false;
    // From the stopped display until the worker suspends: a step command
    // chosen in that window (its buttons are enabled by that display) is
    // kept for the suspension instead of being lost.
    bool stopping_ = false;
    bool resumeEarly_ = false;
    bool terminate_ = false;
    bool loopEnded_ = false;
    bool endHandled_ = false;
    std::function<void()> pending_;
    bool pendingDone_ = false;
    std::string failure_;

    std::atomic<int32_t> value1_{0};
    std::atomic<int32_t> value2_{0};
    std::atomic<uint64_t> replies_{0};
    std::atomic<bool> answeredRunFree_{false};

    // Lets queued service calls outlive this object harmlessly.
    struct ServiceToken {
        std::mutex m;
        KomunVlakno* self;
    };
    std::shared_ptr<ServiceToken> token_;

    std::thread thread_;
};

} // namespace vork::debuglink
