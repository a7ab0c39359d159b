// The generated compiler's side of the debug-channel benchmarks: it opens
// the channel as a debug program does and sends records one at a time, each
// after the environment has answered the one before.
#pragma once

#include "vork/debuglink/komvl.h"
#include "vork_chan.h"

#include <chrono>

#include <cstdint>
#include <cstdio>
#include <sys/wait.h>

namespace vork::bench {

class RecordPeer {
public:
    // 0 when the channel is open and the environment listens; otherwise the
    // exit code the peer process ends with.
    int open()
    {
        if (vork_event_open(&to_, VORK_CHAN_EVENT_TO_PEER, VORK_CHAN_CREATE, 1, 0) ||
            vork_event_open(&from_, VORK_CHAN_EVENT_FROM_PEER, VORK_CHAN_CREATE, 1, 0) ||
            vork_shm_open(&shm_, VORK_CHAN_BLOCK_NAME, VORK_CHAN_BLOCK_SIZE, VORK_CHAN_CREATE))
            return 2;
        return vork_event_wait(&to_, 10000) ? 0 : 3;
    }

    // One record and its answer; false when none came.
    bool send(uint32_t kind, int32_t value1, int32_t value2 = 0)
    {
        vork_event_reset(&to_);
        vork_chan_put32(shm_.addr, VORK_CHAN_OFF_KIND, kind);
        vork_chan_put32(shm_.addr, VORK_CHAN_OFF_VALUE1, static_cast<uint32_t>(value1));
        vork_chan_put32(shm_.addr, VORK_CHAN_OFF_VALUE2, static_cast<uint32_t>(value2));
        vork_event_set(&from_);
        return vork_event_wait(&to_, 10000);
    }

private:
    vork_event to_{};
    vork_event from_{};
    vork_shm shm_{};
};

// Waits for the peer process; false (with a line on stderr) when it failed.
inline bool peerSucceeded(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    std::fprintf(stderr, "peer failed (%d)\n", status);
    return false;
}

// The environment's side without a window: resumes every stop at once
// until the worker's loop ends.  Seconds from the first stop
// (AnalysisStart), when the clock starts.
inline double answerUntilEnd(vork::debuglink::KomunVlakno& t)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point start{};
    bool started = false;
    while (!t.loopEnded()) {
        if (t.waitSuspended(std::chrono::milliseconds(100))) {
            if (!started) {
                started = true;
                start = Clock::now();
            }
            t.resume();
        }
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace vork::bench
