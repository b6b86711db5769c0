#include "ScreenTestSupport.hpp"

#include "screens/StartScreen.hpp"

#include <gtest/gtest.h>

using namespace screentest;

namespace {

struct StartSelection : ::testing::Test {
    StartSelection() : screen(&resources) {
        fillTextures(resources);
        screen.enter();
    }
    StartChoice steps(int shift, int count) {
        for (int i = 0; i < count; ++i) {
            screen.update(shift, 0);
        }
        return screen.choice;
    }
    Resources resources;
    StartScreen screen;
};

TEST_F(StartSelection, EnterPutsTheCarMidTrackBelowTheFrameCentre) {
    EXPECT_EQ(screen.carX, 200);
    EXPECT_EQ(screen.carY, 115);
    EXPECT_EQ(screen.leftLimit, 20);
    EXPECT_EQ(screen.rightLimit, 380);
    EXPECT_EQ(screen.choice, StartChoice::None);
    EXPECT_EQ(screen.x, -200);
    EXPECT_EQ(screen.y, 10);
}

TEST_F(StartSelection, KeyStepsDecideOnlyPastATrackEnd) {
    EXPECT_EQ(steps(5, 36), StartChoice::None); // 380: on the line is not past it
    EXPECT_EQ(steps(5, 1), StartChoice::Start);
    screen.resetSelection();
    EXPECT_EQ(steps(-5, 36), StartChoice::None);
    EXPECT_EQ(steps(-5, 1), StartChoice::Quit);
    EXPECT_EQ(screen.carX, 15);
}

TEST_F(StartSelection, OneSwayDecidesInAFrameAndTheChoiceStaysUntilReset) {
    EXPECT_EQ(steps(180, 1), StartChoice::None);
    screen.resetSelection();
    EXPECT_EQ(steps(181, 1), StartChoice::Start);
    EXPECT_EQ(steps(-100, 1), StartChoice::Start); // back on the track, not clamped
    EXPECT_EQ(screen.carX, 281);
    screen.resetSelection();
    EXPECT_EQ(screen.carX, 200);
    EXPECT_EQ(steps(-181, 1), StartChoice::Quit);
}

TEST_F(StartSelection, BackdropIsTheGreyBlurInTheFramesOwnBuffer) {
    cv::Mat frame = roadFrame(), expected;
    const uchar* buffer = frame.data;
    cv::GaussianBlur(frame, expected, cv::Size(0, 0), 3.1);
    cv::cvtColor(expected, expected, cv::COLOR_RGB2GRAY);
    cv::cvtColor(expected, expected, cv::COLOR_GRAY2RGB);
    EXPECT_TRUE(screen.drawBackground(frame, 200, 310));
    EXPECT_TRUE(channelsEqual(frame));
    EXPECT_TRUE(identical(frame, expected));
    EXPECT_EQ(frame.data, buffer);
}

} // namespace
