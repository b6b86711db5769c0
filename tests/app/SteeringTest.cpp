#include "app/Steering.hpp"
#include "core/Config.hpp"

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
}
