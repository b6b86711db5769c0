#include "ScreenTestSupport.hpp"

#include "gfx/Palette.hpp"
#include "screens/StartScreen.hpp"

#include <gtest/gtest.h>

using namespace screentest;

namespace {

struct StartScreenFixture : ::testing::Test {
    StartScreenFixture() : screen(&resources) {
        fillTextures(resources);
        screen.enter();
        screen.draw(screen.canvas);
    }
    Resources resources;
    StartScreen screen;
};

using StartSelection = StartScreenFixture;
using StartPicture = StartScreenFixture;

StartChoice stepRepeatedly(StartScreen& screen, int shift, int steps) {
    for (int i = 0; i < steps; ++i) {
        screen.update(shift, 0);
    }
    return screen.choice;
}

TEST(StartLayout, EnterCentresTheCarOnTheTrackBelowTheFrameCentre) {
    Resources resources;
    fillTextures(resources);
    StartScreen screen(&resources);
    EXPECT_EQ(screen.x, -200);
    EXPECT_EQ(screen.y, -105);
    EXPECT_EQ(screen.canvas.size(), cv::Size(400, 210));

    EXPECT_TRUE(screen.enter());
    EXPECT_EQ(screen.carX, 200);
    EXPECT_EQ(screen.carY, 115);
    EXPECT_EQ(screen.leftLimit, 20);
    EXPECT_EQ(screen.rightLimit, 380);
    EXPECT_EQ(screen.choice, StartChoice::None);
    EXPECT_EQ(screen.x, -200);
    EXPECT_EQ(screen.y, 10);
}

TEST_F(StartSelection, KeyStepsStartOnlyPastTheStartLine) {
    EXPECT_EQ(stepRepeatedly(screen, 5, 36), StartChoice::None);
    EXPECT_EQ(screen.carX, 380); // on the limit is not past it
    EXPECT_EQ(stepRepeatedly(screen, 5, 1), StartChoice::Start);
    EXPECT_EQ(screen.carX, 385);
}

TEST_F(StartSelection, KeyStepsQuitOnlyPastTheGarage) {
    EXPECT_EQ(stepRepeatedly(screen, -5, 36), StartChoice::None);
    EXPECT_EQ(screen.carX, 20);
    EXPECT_EQ(stepRepeatedly(screen, -5, 1), StartChoice::Quit);
    EXPECT_EQ(screen.carX, 15);
}

TEST_F(StartSelection, OneLargeSwayDecidesInASingleFrame) {
    screen.update(180, 0);
    EXPECT_EQ(screen.choice, StartChoice::None);
    screen.resetSelection();
    screen.update(181, 0);
    EXPECT_EQ(screen.choice, StartChoice::Start);
    screen.resetSelection();
    screen.update(-181, 0);
    EXPECT_EQ(screen.choice, StartChoice::Quit);
}

TEST_F(StartSelection, ChoiceStaysUntilResetAndNothingIsClamped) {
    screen.update(0, 0);
    EXPECT_EQ(screen.carX, 200);
    screen.update(250, 0);
    EXPECT_EQ(screen.carX, 450);
    screen.update(-100, 0); // back on the track: the choice made stays
    EXPECT_EQ(screen.choice, StartChoice::Start);

    screen.resetSelection();
    EXPECT_EQ(screen.carX, 200);
    EXPECT_EQ(screen.choice, StartChoice::None);
    EXPECT_EQ(stepRepeatedly(screen, -5, 37), StartChoice::Quit);
}

TEST_F(StartPicture, BackdropIsBlurredGreyInTheSameBuffer) {
    cv::Mat frame = roadFrame();
    const uchar* buffer = frame.data;
    cv::Mat expected;
    cv::GaussianBlur(frame, expected, cv::Size(0, 0), 3.1);
    cv::cvtColor(expected, expected, cv::COLOR_RGB2GRAY);
    cv::cvtColor(expected, expected, cv::COLOR_GRAY2RGB);

    EXPECT_TRUE(screen.drawBackground(frame, 200, 310));
    EXPECT_TRUE(channelsEqual(frame));
    EXPECT_TRUE(identical(frame, expected));
    EXPECT_EQ(frame.data, buffer);
}

TEST_F(StartPicture, PanelTrackAndGoldCarSitWhereTheSelectionIs) {
    cv::Mat frame = roadFrame();
    compose(screen, frame);
    const cv::Point corner(200, 310);
    // Panel border, track and title.
    EXPECT_EQ(frame.at<cv::Vec3b>(corner + cv::Point(1, 1)), cv::Vec3b(6, 100, 41));
    EXPECT_EQ(frame.at<cv::Vec3b>(corner + cv::Point(100, 100)), cv::Vec3b(192, 192, 192));
    EXPECT_GT(countColour(frame, cv::Scalar(38, 89, 17), cv::Rect(corner, cv::Size(400, 80))), 100);
    // The marker car, gold, centred on the middle of the track.
    const cv::Rect aroundCar(corner.x + 200 - 20, corner.y + 115 - 20, 40, 40);
    EXPECT_GT(countColour(frame, GOLD, aroundCar), 100);
    // Both hint lines in black along the panel's bottom.
    EXPECT_GT(countColour(frame, BLACK, cv::Rect(corner.x, corner.y + 160, 400, 48)), 200);
    // Nothing of the panel above it.
    EXPECT_TRUE(channelsEqual(frame(cv::Rect(0, 0, 800, 300))));

    cv::Mat moved = roadFrame();
    screen.update(-120, 0);
    compose(screen, moved);
    EXPECT_LT(countColour(moved, GOLD, aroundCar), 10);
    EXPECT_GT(countColour(moved, GOLD, aroundCar - cv::Point(120, 0)), 100);
}

TEST_F(StartPicture, GarageIsKeyedInPlaceAndDrawnOverTheCar) {
    // The garage's key colour turned white in the shared texture itself.
    EXPECT_EQ(countColour(resources.textures[TextureGarage], MAGENTA), 0);
    cv::Mat frame = roadFrame();
    screen.update(-180, 0); // the car's centre on the garage's
    compose(screen, frame);
    const cv::Rect garageInside(200 + 20 - 18, 310 + 115 - 20, 36, 40);
    EXPECT_EQ(countColour(frame, cv::Scalar(60, 60, 140), garageInside), 36 * 40);
}

} // namespace
