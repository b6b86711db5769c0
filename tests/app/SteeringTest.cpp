#include "app/Steering.hpp"
#include "core/Config.hpp"
#include "core/KeyCodes.hpp"

#include <gtest/gtest.h>

TEST(SteeringStep, DetectionValueIsTakenOnceAndZeroed) {
    Config config;
    std::atomic<int> pending{7};
    EXPECT_EQ(takeSteeringStep(config, pending), 7);
    EXPECT_EQ(pending, 0);
    EXPECT_EQ(takeSteeringStep(config, pending), 0);
}

TEST(SteeringStep, KeyStepReplacesTheDetectionStepAndIsUsedUp) {
    Config config;
    std::atomic<int> pending{12};
    config.keyStep = -5;
    EXPECT_EQ(takeSteeringStep(config, pending), -5);
    EXPECT_EQ(pending, 0); // the detection value of that frame is dropped
    EXPECT_EQ(config.keyStep, 0);
    // n then m, one frame apart: one step left, then one step right.
    config.keyStep = -5;
    EXPECT_EQ(takeSteeringStep(config, pending), -5);
    config.keyStep = 5;
    EXPECT_EQ(takeSteeringStep(config, pending), 5);
}

TEST(SteeringStep, WithDetectionOffThePendingValueWaits) {
    Config config;
    config.detectionEnabled = false;
    std::atomic<int> pending{9};
    EXPECT_EQ(takeSteeringStep(config, pending), 0);
    EXPECT_EQ(pending, 9);
    config.detectionEnabled = true;
    EXPECT_EQ(takeSteeringStep(config, pending), 9);
}

TEST(KeyLowering, OnlyAsciiCapitalsAreLowered) {
    EXPECT_EQ(lowerKey('K'), 'k');
    EXPECT_EQ(lowerKey('Z'), 'z');
    EXPECT_EQ(lowerKey('k'), 'k');
    EXPECT_EQ(lowerKey(-1), -1);
    EXPECT_EQ(lowerKey(0xFF51), 0xFF51); // Left arrow stays out of the letters
    EXPECT_EQ(lowerKey(0xFFE1), 0xFFE1); // Shift
    EXPECT_EQ(lowerKey(0x1C4), 0x1C4);
}
