// The history of steering values and its scrolling graph.

#include "detection/DetectionHistory.hpp"

#include <gtest/gtest.h>

TEST(DetectionHistoryEntries, NewestFirstAndBoundedAt100) {
    DetectionHistory history;
    for (int i = 0; i < 101; ++i) {
        history.add(i, 1000 + i);
    }
    ASSERT_EQ(history.entries.size(), 100u);
    EXPECT_EQ(history.entries.front().shift, 100);
    EXPECT_EQ(history.entries.back().shift, 1); // 0, the oldest, has gone
    EXPECT_EQ(history.startTime, 1000);
    history.add(7, 5000);
    EXPECT_EQ(history.entries.size(), 100u);
    EXPECT_EQ(history.startTime, 1000);
}

namespace {
cv::Vec3b at(const cv::Mat& image, int x, int y) {
    return image.at<cv::Vec3b>(y, x);
}
const cv::Vec3b black(0, 0, 0), white(255, 255, 255), yellow(0, 255, 255), rule(40, 40, 40);
} // namespace

TEST(DetectionHistoryGraph, CentreLineOnlyForFewerThanTwoEntries) {
    DetectionHistory history;
    cv::Mat image(400, 130, CV_8UC3, cv::Scalar(9, 9, 9));
    history.add(20, 1);
    history.draw(image);
    EXPECT_EQ(at(image, 65, 0), white);
    EXPECT_EQ(at(image, 65, 399), white);
    EXPECT_EQ(cv::countNonZero(image.reshape(1)), 400 * 3);
}

TEST(DetectionHistoryGraph, NewestAtTheBottomOlderFourPixelsUp) {
    DetectionHistory history;
    cv::Mat image(400, 130, CV_8UC3);
    history.add(-10, 7); // oldest
    history.add(20, 7);
    history.add(20, 7); // newest
    history.draw(image);
    // Newest to middle: a vertical segment 20 px right of the centre from the bottom edge.
    EXPECT_EQ(at(image, 85, 398), yellow);
    EXPECT_EQ(at(image, 85, 396), yellow);
    // Middle to oldest: from (85, 396) to (55, 392).
    EXPECT_EQ(at(image, 55, 392), yellow);
    EXPECT_EQ(at(image, 65, 380), white);
    EXPECT_EQ(at(image, 85, 380), black);
    EXPECT_EQ(at(image, 20, 396), black); // no change of second, no rule
}

TEST(DetectionHistoryGraph, RuleAtEachChangeOfSecond) {
    DetectionHistory history;
    cv::Mat image(400, 130, CV_8UC3);
    history.add(0, 7);
    history.add(0, 8);
    history.add(0, 8);
    history.draw(image);
    // The second changes between the middle entry (y 396) and the oldest (y 392).
    EXPECT_EQ(at(image, 5, 392), rule);
    EXPECT_EQ(at(image, 125, 392), rule);
    EXPECT_EQ(at(image, 4, 392), black);
    EXPECT_EQ(at(image, 5, 396), black);
    EXPECT_EQ(at(image, 65, 392), yellow); // the zero values lie on the centre line
}

TEST(DetectionHistoryGraph, LargeValuesAreClippedNotFatal) {
    DetectionHistory history;
    cv::Mat image(400, 130, CV_8UC3);
    for (int i = 0; i < 100; ++i) {
        history.add(i % 2 ? 500 : -500, i);
    }
    history.draw(image);
    EXPECT_EQ(at(image, 0, 398), yellow);
}
