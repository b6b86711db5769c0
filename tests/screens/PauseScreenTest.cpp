#include "screens/PauseScreen.hpp"
#include "ScreenTestSupport.hpp"

#include <gtest/gtest.h>

const int64_t T = 5000000;

struct Pause : ::testing::Test {
    Pause() : screen(&resources) {
        screen.enter(T);
        screen.draw(screen.canvas);
    }
    bool shownAt(int64_t now) {
        screen.update(0, now);
        return screen.panel().visible;
    }
    Resources resources;
    PauseScreen screen;
};

TEST_F(Pause, BlinkShows600HidesFor200FromTheFrameThatNoticedAndStandsStillBetweenPauses) {
    // Frames at T + at[i]; the sixth frame is late, and its phase runs from there.
    const int64_t at[] = {0,        400000,   599999,   600000,   60000000, 61000000,
                          62030000, 62629999, 62630000, 62829999, 62830000};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(shownAt(T + at[i]), "11101011001"[i] == '1') << at[i];
}

TEST_F(Pause, HintFollowsTheSteeringBetweenTenPixelMargins) {
    const int centred = screen.panel().hintX;
    screen.update(1000, T);
    const int right = screen.panel().hintX; // 490 less the hint's width
    EXPECT_EQ(centred, 250 - (490 - right) / 2);
    screen.update(-5, T);
    EXPECT_EQ(screen.panel().hintX, right - 5);
    screen.update(-1000, T);
    EXPECT_EQ(screen.panel().hintX, 10);
}

TEST_F(Pause, TheFrameIsBlurredAndThePanelShowsOnlyWhileVisible) {
    PausePanel panel = screen.panel();
    cv::Mat hidden = roadFrame(), shown = roadFrame();
    panel.visible = false;
    screen.drawPanel(hidden, panel);
    panel.visible = true;
    screen.drawPanel(shown, panel);
    cv::Mat blurred = roadFrame();
    Screen::blurFrame(blurred);
    EXPECT_TRUE(identical(hidden, blurred));
    EXPECT_FALSE(identical(shown, blurred));
}
