#include "app/Console.hpp"
#include "core/Config.hpp"

#include <gtest/gtest.h>
#include <sstream>

TEST(Console, BannerFramesTheTitleWithDashes) {
    std::ostringstream out;
    printBanner(out);
    const std::string dashes(39, '-');
    EXPECT_EQ(out.str(), dashes + "\n    Dravolt\n" + dashes + "\n");
}

TEST(Console, HelpBlockHasItsExactTextBetweenTwoRules) {
    EXPECT_EQ(HELP_TEXT.size(), 414u);
    std::ostringstream out;
    printHelp(out);
    const std::string rule(31, '-');
    EXPECT_EQ(out.str(), " keyboard controls:\n" + rule + "\n" + HELP_TEXT + rule + "\n");
    EXPECT_EQ(HELP_TEXT.substr(0, 25), "[h]     -print this help\n");
    EXPECT_EQ(HELP_TEXT.substr(HELP_TEXT.size() - 15), "\n[ESC]   -exit\n");
}

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
