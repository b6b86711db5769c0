#include "app/FrameBlur.hpp"
#include "screens/ScreenTestSupport.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

TEST(FrameBlur, OnlyANewPictureIsShownAgain) {
    FrameBlur blur;
    const cv::Mat first = roadFrame(1), second = roadFrame(2);
    cv::Mat blurred;
    cv::GaussianBlur(first, blurred, cv::Size(0, 0), 0.5); // a slight blur

    const cv::Mat* shown = blur.newPicture(first, false, true);
    ASSERT_NE(shown, nullptr) << "the first picture is always new";
    EXPECT_TRUE(identical(*shown, blurred));
    EXPECT_EQ(blur.newPicture(first, true, true), nullptr) << "drawn again, the same pixels";
    EXPECT_NE(blur.newPicture(second, true, true), nullptr);
    // With the blur off the frame itself is shown; turned on again, the blurred picture is
    // new to the window even though the blur has it cached.
    EXPECT_EQ(blur.newPicture(second, false, false), &second);
    EXPECT_EQ(blur.newPicture(second, false, false), nullptr);
    EXPECT_EQ(blur.newPicture(second, true, false), &second);
    EXPECT_NE(blur.newPicture(second, false, true), nullptr);
    EXPECT_EQ(blur.newPicture(second, false, true), nullptr);
}
