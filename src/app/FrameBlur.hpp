#pragma once
// The slight blur of the shown frame. A frame equal to the one blurred last time gets the
// same result from the cache instead of a second blur: on the start, pause and name-entry
// screens the picture often stands still.

#include "gfx/FrameCache.hpp"

#include <opencv2/core.hpp>

class FrameBlur {
public:
    explicit FrameBlur(double strength) : sigma(strength) {}

    // Blurs the frame in place; frame is a whole image, not a region of a larger one.
    void apply(cv::Mat& frame);

private:
    double sigma;
    FrameCache cache;
};
