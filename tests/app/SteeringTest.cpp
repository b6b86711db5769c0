#include "app/Steering.hpp"
#include "core/Config.hpp"

#include <gtest/gtest.h>
#include <tuple>
#include <utility>

// {detection on, its value, the key step; the frame's step, the value left}: the detection
// value is taken and zeroed while detection is on, else it waits; a key step replaces it (the
// value of that frame is dropped) and is used up.
TEST(SteeringStep, TheKeysReplaceTheDetectionValueTakenOnlyWhileDetectionIsOn) {
    const std::tuple<bool, int, int, int, int> cases[] = {
        {true, 7, 0, 7, 0}, {true, 12, -5, -5, 0}, {false, 9, 0, 0, 9}, {false, 9, 5, 5, 9}};
    for (const auto& [on, value, key, step, left] : cases) {
        Config config;
        config.detectionEnabled = on;
        config.keyStep = key;
        int pending = value; // taken once, as the detection thread hands it over
        EXPECT_EQ(takeSteeringStep(config, [&] { return std::exchange(pending, 0); }), step)
            << on << " " << value << " " << key;
        EXPECT_EQ(pending, left) << on << " " << value << " " << key;
        EXPECT_EQ(config.keyStep, 0);
    }
}
