#include "app/Clock.hpp"

#include <opencv2/core.hpp>

namespace {
ClockFunction currentClock = nullptr;

int64_t tickMicros() {
    const int64_t ticks = cv::getTickCount() * int64_t{1000000};
    return static_cast<int64_t>(static_cast<double>(ticks) / cv::getTickFrequency());
}
} // namespace

int64_t nowMicros() {
    return currentClock ? currentClock() : tickMicros();
}

void setClock(ClockFunction clock) {
    currentClock = clock;
}
