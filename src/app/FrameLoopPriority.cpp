#include "app/FrameLoopPriority.hpp"

FrameLoopPriority::FrameLoopPriority() : previous(ThreadScheduling::ofCallingThread()) {
    if (!previous) {
        return;
    }
    ThreadScheduling shorter = *previous;
    shorter.slice = SLICE_NANOS;
    if (!shorter.applyToCallingThread()) {
        previous.reset();
    }
}

FrameLoopPriority::~FrameLoopPriority() {
    if (previous) {
        previous->applyToCallingThread();
    }
}
