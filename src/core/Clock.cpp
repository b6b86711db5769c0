#include "core/Clock.hpp"

#include <opencv2/core.hpp>

int64_t nowMicros() {
    const int64_t ticks = cv::getTickCount() * int64_t{1000000};
    return static_cast<int64_t>(static_cast<double>(ticks) / cv::getTickFrequency());
}
