#include "game/Car.hpp"

#include <gtest/gtest.h>

// Frames of 10 ms of the run from the hit on: hidden until 50 ms, shown until 150, hidden
// until 200.
TEST(CarBlink, AHitCarHidesFor50ThenShowsFor100Milliseconds) {
    Car hit(1, {50, 96}, cv::Scalar()), other(2, {50, 96}, cv::Scalar());
    int64_t gameTime = 3000000;
    hit.startBlink(gameTime);
    std::string blink, otherBlink;
    for (int i = 0; i < 29; ++i) {
        blink += hit.view().hidden ? '1' : '0';
        otherBlink += other.view().hidden ? '1' : '0';
        gameTime += 10000;
        hit.updateBlink(gameTime);
        other.updateBlink(gameTime);
    }
    EXPECT_EQ(blink, "11111" + std::string(10, '0') + "11111" + std::string(9, '0'));
    EXPECT_EQ(otherBlink, std::string(29, '0')) << "a car not hit never blinks";
}
