#include "screens/StartScreen.hpp"
#include "ScreenTestSupport.hpp"

#include <gtest/gtest.h>

struct StartSelection : ::testing::Test {
    StartSelection() : screen(&resources) {
        fillTextures(resources);
        screen.enter(0);
    }
    Resources resources;
    StartScreen screen;
};

TEST_F(StartSelection, ChoiceOnlyPastATrackEndAndKeptUntilReset) {
    EXPECT_EQ(cv::Vec6i(screen.carX, screen.carY, screen.leftLimit, screen.rightLimit, screen.x,
                        screen.y),
              cv::Vec6i(200, 115, 20, 380, -200, 10));
    // {shift, frames, choice: 0 none, 1 start, 2 quit}; 36 steps of 5 reach 380, not past it.
    const int cases[][3] = {{5, 36, 0},  {5, 37, 1},  {-5, 36, 0}, {-5, 37, 2},
                            {180, 1, 0}, {181, 1, 1}, {-181, 1, 2}};
    for (const auto& [shift, frames, choice] : cases) {
        screen.resetSelection();
        for (int i = 0; i < frames; ++i)
            screen.update(shift, 0);
        EXPECT_EQ(screen.choice, StartChoice(choice)) << shift << " x" << frames;
    }
    screen.update(100, 0); // back on the track (not clamped): the choice stays
    EXPECT_EQ(screen.carX, 119);
    EXPECT_EQ(screen.choice, StartChoice::Quit);
}

TEST_F(StartSelection, BackdropIsTheGreyBlur) {
    cv::Mat frame = roadFrame();
    EXPECT_TRUE(screen.drawBackground(frame, 200, 310));
    EXPECT_TRUE(identical(frame, greyBlur(roadFrame())));
}
