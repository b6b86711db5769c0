#pragma once
// How the kernel schedules the calling thread: its class, nice value and time slice, read and
// set with sched_getattr(2) and sched_setattr(2). Debian 12's C library declares neither the
// calls nor their structure. Detection's threads and the frame loop adjust their own with it.

#include <cstdint>
#include <optional>

class ThreadScheduling {
public:
    int policy = 0; // SCHED_OTHER, SCHED_BATCH, ...
    int nice = 0;
    // The time slice in nanoseconds. A kernel before 6.12 has no slice of a thread's own: it
    // reads 0 there, and a slice set is ignored.
    uint64_t slice = 0;

    // The calling thread's; nothing where the kernel refuses.
    static std::optional<ThreadScheduling> ofCallingThread();
    // Gives the calling thread these; false where the kernel refuses.
    bool applyToCallingThread() const;
};
