#include "app/FrameBlur.hpp"

#include <opencv2/imgproc.hpp>

void FrameBlur::apply(cv::Mat& frame) {
    // The cache has just copied the frame; blurring from that copy spares the copy the
    // library would make of an image blurred in place. The same pixels either way, as the
    // frame is a whole image, not a region with neighbours outside it.
    cache.apply(frame, [this](cv::Mat& image) {
        cv::GaussianBlur(cache.lastInputImage(), image, cv::Size(0, 0), sigma, 0,
                         cv::BORDER_DEFAULT);
    });
}
