#include "app/FrameBlur.hpp"

const cv::Mat* FrameBlur::newPicture(const cv::Mat& frame, bool blurOn) {
    if (!blurOn) {
        blurredShown = false;
        return &frame;
    }
    const cv::Mat& picture = blur.apply(frame);
    const bool repeated = blurredShown && blur.unchanged();
    blurredShown = true;
    return repeated ? nullptr : &picture;
}
