#include "screens/PauseScreen.hpp"
#include "ScreenTestSupport.hpp"

#include <gtest/gtest.h>
#include <vector>

const int64_t T = 5000000;

struct Pause : ::testing::Test {
    Pause() { screen.init(T); }
    bool shownAt(int64_t now) {
        screen.update(0, now);
        return screen.panel().visible;
    }
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

TEST_F(Pause, TheFrameIsBlurredAndThePanelShowsWithItsHintOnlyWhileVisible) {
    cv::Mat blurred = roadFrame();
    Screen::blurFrame(blurred);
    // The panel given, not the screen's own: hidden, then shown with the hint in two places.
    std::vector<cv::Mat> frames;
    for (const auto& [visible, hintX] : {std::pair{false, 10}, {true, 10}, {true, 20}}) {
        frames.push_back(roadFrame());
        screen.drawPanel(frames.back(), {screen.panel().x, screen.panel().y, visible, hintX});
    }
    EXPECT_TRUE(identical(frames[0], blurred));
    EXPECT_FALSE(identical(frames[1], blurred));
    EXPECT_FALSE(identical(frames[1], frames[2]));
}
