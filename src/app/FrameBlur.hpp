#pragma once
// The slight blur of the shown frame: a Gaussian of sigma 0.5. A frame equal to the one
// blurred last time gets the same result from the cache instead of a second blur: on the
// start, pause and name-entry screens the picture often stands still.

#include "gfx/FrameCache.hpp"

#include <opencv2/core.hpp>

class FrameBlur {
public:
    static constexpr double SIGMA = 0.5;

    // The blurred frame, valid until the next call; frame itself stays as it is. frame is a
    // whole image, not a region of a larger one.
    const cv::Mat& apply(const cv::Mat& frame);

private:
    FrameCache cache;
};
