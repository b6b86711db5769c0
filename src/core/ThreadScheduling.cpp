#include "core/ThreadScheduling.hpp"

#include <sys/syscall.h>
#include <unistd.h>

namespace {
// The kernel's structure for both calls. For the normal and batch classes, runtime is the
// thread's time slice.
struct KernelAttributes {
    uint32_t size = sizeof(KernelAttributes);
    uint32_t policy = 0;
    uint64_t flags = 0;
    int32_t nice = 0;
    uint32_t priority = 0;
    uint64_t runtime = 0;
    uint64_t deadline = 0;
    uint64_t period = 0;
    uint32_t utilMin = 0;
    uint32_t utilMax = 0;
};
} // namespace

std::optional<ThreadScheduling> ThreadScheduling::ofCallingThread() {
    KernelAttributes attributes;
    if (syscall(SYS_sched_getattr, 0, &attributes, sizeof(attributes), 0) != 0) {
        return std::nullopt;
    }
    return ThreadScheduling{static_cast<int>(attributes.policy), attributes.nice,
                            attributes.runtime};
}

bool ThreadScheduling::applyToCallingThread() const {
    KernelAttributes attributes;
    attributes.policy = static_cast<uint32_t>(policy);
    attributes.nice = nice;
    attributes.runtime = slice;
    return syscall(SYS_sched_setattr, 0, &attributes, 0) == 0;
}
