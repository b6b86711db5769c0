#include "app/FrameBlur.hpp"

const cv::Mat* FrameBlur::newPicture(const cv::Mat& frame, bool frameChanged, bool blurOn) {
    if (m_anyShown && !frameChanged && blurOn == m_blurredShown) {
        return nullptr;
    }
    const bool wasBlurredShown = m_anyShown && m_blurredShown;
    m_anyShown = true;
    m_blurredShown = blurOn;
    if (!blurOn) {
        return &frame;
    }
    const cv::Mat& picture = m_blur.apply(frame);
    return wasBlurredShown && m_blur.unchanged() ? nullptr : &picture;
}
