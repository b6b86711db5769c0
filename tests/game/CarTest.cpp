#include "game/Car.hpp"

#include <gtest/gtest.h>

// Frames of 10 ms from the hit on: hidden until 50 ms, shown until 150, hidden until 200.
TEST(CarBlink, AHitCarHidesFor50ThenShowsFor100Milliseconds) {
    Car hit(1, {50, 96}, cv::Scalar()), other(2, {50, 96}, cv::Scalar());
    int64_t now = 1000000000;
    hit.startBlink(now);
    std::string blink, otherBlink;
    for (int i = 0; i < 29; ++i, now += 10000) {
        blink += hit.view().hidden ? '1' : '0';
        otherBlink += other.view().hidden ? '1' : '0';
        hit.updateBlink(10000, now + 10000);
        other.updateBlink(10000, now + 10000);
    }
    EXPECT_EQ(blink, "11111" + std::string(10, '0') + "11111" + std::string(9, '0'));
    EXPECT_EQ(otherBlink, std::string(29, '0')) << "a car not hit never blinks";
}
