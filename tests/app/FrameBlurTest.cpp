#include "app/FrameBlur.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {
cv::Mat noisyFrame(int seed) {
    cv::Mat frame(600, 800, CV_8UC3);
    cv::RNG rng(seed);
    rng.fill(frame, cv::RNG::UNIFORM, 0, 256);
    return frame;
}

cv::Mat directBlur(const cv::Mat& frame) {
    cv::Mat out = frame.clone();
    cv::GaussianBlur(out, out, cv::Size(0, 0), 0.5, 0, cv::BORDER_DEFAULT);
    return out;
}

bool samePixels(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && cv::norm(a, b, cv::NORM_INF) == 0;
}
} // namespace

TEST(FrameBlur, CachedFramesEqualTheDirectBlurOverASequence) {
    FrameBlur blur(0.5);
    const cv::Mat first = noisyFrame(1);
    const cv::Mat second = noisyFrame(2);
    cv::Mat third = first.clone();
    third.at<cv::Vec3b>(599, 799) = cv::Vec3b(1, 2, 3); // differs in the very last byte only
    const cv::Mat* sequence[] = {&first, &first, &second, &second, &first, &third, &third};
    for (const cv::Mat* input : sequence) {
        cv::Mat frame = input->clone();
        const uchar* buffer = frame.data;
        blur.apply(frame);
        EXPECT_TRUE(samePixels(frame, directBlur(*input)));
        EXPECT_EQ(frame.data, buffer); // blurred in place
    }
}
