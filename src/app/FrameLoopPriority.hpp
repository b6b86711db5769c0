#pragma once
// Gives the frame loop's thread a short time slice for as long as it lives. The frame loop
// wakes every 15 ms or so for about a millisecond of work. The scheduler lets a waking thread
// preempt a running one whose slice is longer than its own, so with the shortest slice the
// frame loop gets a core at once from the other programs of a busy machine, as it does from
// detection. It gets no larger share of the processor for it, and its class and nice value
// stay as they are. A kernel before 6.12 ignores the slice.

#include "core/ThreadScheduling.hpp"

#include <cstdint>
#include <optional>

class FrameLoopPriority {
public:
    // The slice asked for: the shortest the scheduler grants.
    static constexpr uint64_t SLICE_NANOS = 100'000;

    // Shortens the calling thread's slice.
    FrameLoopPriority();
    // Gives the calling thread back the slice it had. Destroy it on the thread that made it.
    ~FrameLoopPriority();
    FrameLoopPriority(const FrameLoopPriority&) = delete;
    FrameLoopPriority& operator=(const FrameLoopPriority&) = delete;

private:
    std::optional<ThreadScheduling> previous; // empty where nothing was changed
};
