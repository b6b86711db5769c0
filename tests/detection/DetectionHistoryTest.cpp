// The history graph on a 21 by 40 strip with room for four values: a step of 10 rows, the
// centre line on column 10. Each older value sits 10 rows above the one after it.

#include "detection/DetectionHistory.hpp"

#include <gtest/gtest.h>

namespace {

// Draws the values, oldest first, into a strip that holds something else before.
cv::Mat graph(const std::vector<HistoryEntry>& oldestFirst) {
    DetectionHistory history(4);
    for (const HistoryEntry& entry : oldestFirst)
        history.add(entry.shift, entry.time);
    cv::Mat strip(40, 21, CV_8UC3, cv::Scalar(1, 2, 3));
    history.draw(strip);
    return strip;
}

const cv::Vec3b black(0, 0, 0), white(255, 255, 255), yellow(0, 255, 255), rule(40, 40, 40);

} // namespace

// Of five values the oldest falls out: above row 10 only the centre line is left.
TEST(HistoryGraph, ValuesStandOffTheCentreOnTheirSideNewestAtTheBottom) {
    const cv::Mat strip = graph({{8, 7}, {-6, 7}, {-6, 7}, {4, 7}, {4, 7}});
    EXPECT_EQ(strip.at<cv::Vec3b>(5, 10), white);
    EXPECT_EQ(strip.at<cv::Vec3b>(5, 9), black);
    EXPECT_EQ(strip.at<cv::Vec3b>(5, 11), black);
    EXPECT_EQ(strip.at<cv::Vec3b>(35, 14), yellow); // the newest two, 4 to the right
    EXPECT_EQ(strip.at<cv::Vec3b>(35, 6), black);
    EXPECT_EQ(strip.at<cv::Vec3b>(15, 4), yellow); // the two before, 6 to the left
    EXPECT_EQ(strip.at<cv::Vec3b>(15, 16), black);
    EXPECT_EQ(strip.at<cv::Vec3b>(20, 12), black); // one second: no rule
}

// The rule lies where the graph enters the older second, from 5 pixels off either edge.
TEST(HistoryGraph, AFaintRuleMarksEachChangeOfSecond) {
    const cv::Mat strip = graph({{-6, 7}, {-6, 7}, {4, 8}, {4, 8}});
    EXPECT_EQ(strip.at<cv::Vec3b>(20, 5), rule);
    EXPECT_EQ(strip.at<cv::Vec3b>(20, 10), rule);
    EXPECT_EQ(strip.at<cv::Vec3b>(20, 16), rule);
    EXPECT_EQ(strip.at<cv::Vec3b>(20, 17), black);
    EXPECT_EQ(strip.at<cv::Vec3b>(30, 12), black);
    EXPECT_EQ(strip.at<cv::Vec3b>(10, 12), black);
}

TEST(HistoryLength, TheWorkersHistoryKeepsTheNewestHundredValues) {
    DetectionHistory history;
    for (int shift = 0; shift <= 100; ++shift)
        history.add(shift, 7);
    ASSERT_EQ(history.entries().size(), 100u);
    EXPECT_EQ(history.entries().front().shift, 100);
    EXPECT_EQ(history.entries().back().shift, 1);
}
