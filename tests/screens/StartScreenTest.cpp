#include "screens/StartScreen.hpp"
#include "ScreenTestSupport.hpp"

#include <gtest/gtest.h>

struct StartSelection : ::testing::Test {
    StartSelection() : screen(&resources) {
        fillTextures(resources);
        screen.init(0);
    }
    Resources resources;
    StartScreen screen;
};

TEST_F(StartSelection, ChoiceOnlyPastATrackEndAndKeptUntilReset) {
    const StartPanel start = screen.panel();
    EXPECT_EQ(
        cv::Vec6i(start.carX, start.carY, start.leftLimit, start.rightLimit, start.x, start.y),
        cv::Vec6i(200, 115, 20, 380, -200, 10));
    // {shift, frames, choice: 0 none, 1 start, 2 quit}; 36 steps of 5 reach 380, not past it.
    const int cases[][3] = {{5, 36, 0},  {5, 37, 1},  {-5, 36, 0}, {-5, 37, 2},
                            {180, 1, 0}, {181, 1, 1}, {-181, 1, 2}};
    for (const auto& [shift, frames, choice] : cases) {
        screen.resetSelection();
        for (int i = 0; i < frames; ++i)
            screen.update(shift, 0);
        EXPECT_EQ(screen.choice(), StartChoice(choice)) << shift << " x" << frames;
    }
    screen.update(100, 0); // back on the track (not clamped): the choice stays
    EXPECT_EQ(screen.panel().carX, 119);
    EXPECT_EQ(screen.choice(), StartChoice::Quit);
}

TEST_F(StartSelection, ThePanelGivenIsDrawnOverTheGreyedFrame) {
    StartScreen steered(&resources);
    steered.init(0);
    steered.update(90, 0);
    steered.showNotice("A notice", 0);
    cv::Mat own = roadFrame(), given = roadFrame();
    steered.drawPanel(own, steered.panel());
    screen.drawPanel(given, steered.panel());
    EXPECT_TRUE(identical(own, given)) << "drawn from the panel, not from the screen";
    EXPECT_TRUE(allGrey(own(cv::Rect(0, 0, 800, 300)))) << "above the marker car";
    cv::Mat unsteered = roadFrame();
    screen.drawPanel(unsteered, screen.panel());
    EXPECT_FALSE(identical(own, unsteered)) << "the two panels differ";
}

TEST_F(StartSelection, ANoticeShowsForFiveSeconds) {
    screen.showNotice("Can't save", 1000);
    screen.update(0, 1000 + 4999999);
    EXPECT_EQ(screen.panel().notice, "Can't save");
    screen.update(0, 1000 + 5000000);
    EXPECT_EQ(screen.panel().notice, "");
}
