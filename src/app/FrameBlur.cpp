#include "app/FrameBlur.hpp"

#include <opencv2/imgproc.hpp>

void FrameBlur::apply(cv::Mat& frame) {
    cache.apply(frame, [this](cv::Mat& image) {
        cv::GaussianBlur(image, image, cv::Size(0, 0), sigma, 0, cv::BORDER_DEFAULT);
    });
}
