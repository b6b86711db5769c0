#include "core/Clock.hpp"

#include <opencv2/core.hpp>

int64_t ticksToMicros(int64_t ticks, int64_t frequency) {
    // Whole seconds and the rest apart: the library counts nanoseconds since the machine
    // started, and that count times a million leaves 64 bits after about two and a half hours.
    return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

int64_t nowMicros() {
    return ticksToMicros(cv::getTickCount(), static_cast<int64_t>(cv::getTickFrequency()));
}
