#include "app/FrameBlur.hpp"
#include "screens/ScreenTestSupport.hpp"

#include <gtest/gtest.h>

TEST(FrameBlur, CachedFramesEqualTheDirectBlurOverASequence) {
    FrameBlur blur;
    const cv::Mat first = roadFrame(1), second = roadFrame(2);
    cv::Mat third = first.clone();
    third.at<cv::Vec3b>(599, 799) = cv::Vec3b(1, 2, 3); // differs in the very last byte only
    const cv::Mat* sequence[] = {&first, &first, &second, &second, &first, &third, &third};
    for (int i = 0; i < 7; ++i) {
        cv::Mat direct;
        cv::GaussianBlur(*sequence[i], direct, cv::Size(0, 0), FrameBlur::SIGMA);
        EXPECT_TRUE(identical(blur.apply(*sequence[i]), direct)) << "frame " << i;
    }
}
