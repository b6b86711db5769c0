#pragma once
// Lets detection share the processor fairly with the frame loop and with other programs.
// Detection runs on the detection thread and on the worker threads of the image library's TBB
// pool. Every thread that does detection work moves to the batch scheduling class: it gets its
// fair share of a busy machine, so head steering never stops, but its wake-ups never preempt
// the frame loop, and its long time slice lets the frame loop preempt it whenever that wakes:
// the frame loop keeps its pace. The work itself and its results stay exactly the same.
//
// The pool's workers are shared by every thread of the process, so the main loop keeps its own
// library calls off the pool: it never waits for a worker busy with a share of the detection.

#include <cstdint>
#include <memory>

class BackgroundPriority {
public:
    // The time slice detection's threads ask for: longer than any ordinary thread's default.
    static constexpr uint64_t SLICE_NANOS = 8'000'000;

    // Moves the calling thread to the batch class now, and every worker thread of the
    // library's pool as it joins in. Call it on the detection thread before its first pass.
    BackgroundPriority();
    // Stops moving workers that join later.
    ~BackgroundPriority();
    BackgroundPriority(const BackgroundPriority&) = delete;
    BackgroundPriority& operator=(const BackgroundPriority&) = delete;

private:
    struct Pool; // the library's task arena and the observer on it
    std::unique_ptr<Pool> m_pool;
};
