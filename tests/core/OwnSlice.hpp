#pragma once
// The calling thread's time slice as the kernel reports it, read apart from the code under test.

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

// In nanoseconds, from byte 24 of sched_getattr(2)'s structure; 0 where the kernel keeps no
// slice of a thread's own (before 6.12).
inline uint64_t ownSlice() {
    uint64_t attributes[6] = {}; // all 0 where the call fails
    syscall(SYS_sched_getattr, 0, attributes, sizeof(attributes), 0);
    return attributes[3];
}
