// The history of steering values and its scrolling graph.

#include "detection/DetectionHistory.hpp"

#include <gtest/gtest.h>

TEST(DetectionHistory, NewestFirstBoundedAt100) {
    DetectionHistory history;
    for (int i = 0; i < 101; ++i) {
        history.add(i, 1000 + i);
    }
    ASSERT_EQ(history.entries.size(), 100u);
    EXPECT_EQ(history.entries.front().shift, 100);
    EXPECT_EQ(history.entries.back().shift, 1); // 0, the oldest, has gone
    EXPECT_EQ(history.startTime, 1000);
}

TEST(DetectionHistory, GraphScrollsUpFourPixelsAnEntryWithARuleEachSecond) {
    DetectionHistory history;
    cv::Mat image(400, 130, CV_8UC3, cv::Scalar(9, 9, 9));
    history.add(-10, 7); // oldest
    history.draw(image);
    EXPECT_EQ(cv::countNonZero(image.reshape(1)), 400 * 3); // the centre line alone
    history.add(20, 8);
    history.add(20, 8); // newest
    history.draw(image);
    const auto at = [&](int x, int y) { return image.at<cv::Vec3b>(y, x); };
    const cv::Vec3b black(0, 0, 0), white(255, 255, 255), yellow(0, 255, 255);
    EXPECT_EQ(at(85, 398), yellow); // newest, 20 right of the centre, at the bottom
    EXPECT_EQ(at(85, 396), yellow);
    EXPECT_EQ(at(55, 392), yellow); // the oldest, 10 left, 8 pixels up
    EXPECT_EQ(at(65, 380), white);
    EXPECT_EQ(at(85, 380), black);
    // The second changes between the middle entry and the oldest.
    EXPECT_EQ(at(5, 392), cv::Vec3b(40, 40, 40));
    EXPECT_EQ(at(125, 392), cv::Vec3b(40, 40, 40));
    EXPECT_EQ(at(5, 396), black);
}
