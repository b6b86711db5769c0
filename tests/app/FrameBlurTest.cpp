#include "app/FrameBlur.hpp"
#include "screens/ScreenTestSupport.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

TEST(FrameBlur, OnlyANewPictureIsShownAgain) {
    FrameBlur blur;
    const cv::Mat first = roadFrame(1), second = roadFrame(2);
    cv::Mat blurred;
    cv::GaussianBlur(first, blurred, cv::Size(0, 0), IncrementalBlur::SIGMA);

    const cv::Mat* shown = blur.newPicture(first, true);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(identical(*shown, blurred));
    EXPECT_EQ(blur.newPicture(first, true), nullptr) << "the window shows it already";
    EXPECT_NE(blur.newPicture(second, true), nullptr);
    // With the blur off the frame itself is shown; turned on again, the blurred picture is
    // new to the window even though the blur has it cached.
    EXPECT_EQ(blur.newPicture(second, false), &second);
    EXPECT_EQ(blur.newPicture(second, false), &second);
    EXPECT_NE(blur.newPicture(second, true), nullptr);
    EXPECT_EQ(blur.newPicture(second, true), nullptr);
}
