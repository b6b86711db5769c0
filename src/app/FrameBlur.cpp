#include "app/FrameBlur.hpp"

const cv::Mat* FrameBlur::newPicture(const cv::Mat& frame, bool frameChanged, bool blurOn) {
    if (anyShown && !frameChanged && blurOn == blurredShown) {
        return nullptr;
    }
    const bool wasBlurredShown = anyShown && blurredShown;
    anyShown = true;
    blurredShown = blurOn;
    if (!blurOn) {
        return &frame;
    }
    const cv::Mat& picture = blur.apply(frame);
    return wasBlurredShown && blur.unchanged() ? nullptr : &picture;
}
