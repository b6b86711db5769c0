#pragma once
// The process-wide random generator of the traffic. It is seeded from the tick count when the
// program starts; tests may replace it with a seeded generator to repeat a sequence of cars.
// The view shake draws from the standard library's rand instead, so the two never interfere.

#include <opencv2/core.hpp>

cv::RNG& rng();
