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
        blur.apply(frame);
        EXPECT_TRUE(sameImage(frame, directBlur(*input)));
    }
}

TEST(FrameBlur, SameImageComparesSizeTypeAndBytes) {
    const cv::Mat a = noisyFrame(3);
    EXPECT_TRUE(sameImage(a, a.clone()));
    EXPECT_FALSE(sameImage(a, cv::Mat()));
    EXPECT_FALSE(sameImage(a, a(cv::Rect(0, 0, 800, 599)).clone()));
    cv::Mat grey;
    cv::cvtColor(a, grey, cv::COLOR_BGR2GRAY);
    EXPECT_FALSE(sameImage(grey, a));
}
