#include "app/Console.hpp"
#include "core/Config.hpp"

#include <gtest/gtest.h>
#include <sstream>

TEST(Console, SettingsListEverySwitchAsOneOrZero) {
    Config config;
    std::ostringstream out;
    printSettings(config, out);
    EXPECT_EQ(out.str(), "Config:\n-------"
                         "\n greyscale        : 0"
                         "\n adaptiveThreshold: 0"
                         "\n drawAll          : 1"
                         "\n showCameraWin    : 0"
                         "\n detectionEnabled : 1"
                         "\n invertX          : 1"
                         "\n blur             : 1"
                         "\n cameraEnabled    : 1\n");
}
