#include "app/FrameBlur.hpp"

#include <cstring>
#include <opencv2/imgproc.hpp>

bool sameImage(const cv::Mat& a, const cv::Mat& b) {
    if (a.size() != b.size() || a.type() != b.type()) {
        return false;
    }
    const size_t rowBytes = a.cols * a.elemSize();
    for (int row = 0; row < a.rows; ++row) {
        if (std::memcmp(a.ptr(row), b.ptr(row), rowBytes) != 0) {
            return false;
        }
    }
    return true;
}

void FrameBlur::apply(cv::Mat& frame) {
    if (sameImage(frame, lastInput)) {
        lastOutput.copyTo(frame);
        return;
    }
    frame.copyTo(lastInput);
    cv::GaussianBlur(frame, frame, cv::Size(0, 0), sigma, 0, cv::BORDER_DEFAULT);
    frame.copyTo(lastOutput);
}
