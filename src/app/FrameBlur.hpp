#pragma once
// The picture the game window shows for a frame: the frame under a slight blur, a Gaussian of
// sigma 0.5, or the frame itself while the blur is off. A frame equal to the one blurred last
// time gets the same result from the cache instead of a second blur, and the window is not
// sent a picture it shows already: on the start, pause and name-entry screens the picture
// often stands still.

#include "gfx/FrameCache.hpp"

#include <opencv2/core.hpp>

class FrameBlur {
public:
    static constexpr double SIGMA = 0.5;

    // The blurred frame, valid until the next call; frame itself stays as it is. frame is a
    // whole image, not a region of a larger one.
    const cv::Mat& apply(const cv::Mat& frame);

    // The picture to show for frame, blurred when blurOn; nullptr when it is the picture this
    // returned last time, which the window shows already.
    const cv::Mat* newPicture(const cv::Mat& frame, bool blurOn);

private:
    FrameCache cache;
    bool blurredShown = false; // the last picture returned was a blurred one
};
