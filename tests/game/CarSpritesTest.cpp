#include "game/CarSprites.hpp"
#include "core/Palette.hpp"

#include <gtest/gtest.h>

TEST(CarSprites, EachColourItsOwnPictureCutAtTheEdgeAndNothingWhileHidden) {
    cv::Mat texture(20, 3, CV_8UC3);
    cv::randu(texture, 1, 200); // neither the transparent key nor the body colour
    texture.col(2).setTo(MAGENTA);
    texture.at<cv::Vec3b>(12, 0) = cv::Vec3b(0, 0, 255); // the body
    CarSprites sprites(texture);
    cv::Mat frame(30, 30, CV_8UC3, cv::Scalar::all(7));
    const auto at = [&frame](int col) { return frame.at<cv::Vec3b>(0, col); };
    sprites.draw(frame, {5, -12, false, GREEN});
    sprites.draw(frame, {9, -12, false, BLUE});
    EXPECT_EQ(at(5), cv::Vec3b(0, 255, 0)) << "from row 12 of the picture on";
    EXPECT_EQ(at(9), cv::Vec3b(255, 0, 0));
    EXPECT_EQ(at(7), cv::Vec3b(7, 7, 7)) << "transparent column";
    frame.setTo(cv::Scalar::all(7));
    sprites.draw(frame, {5, -12, true, GREEN});
    EXPECT_EQ(at(5), cv::Vec3b(7, 7, 7)) << "hidden";
    EXPECT_EQ(texture.at<cv::Vec3b>(12, 0), cv::Vec3b(0, 0, 255)) << "the texture stays";
}
