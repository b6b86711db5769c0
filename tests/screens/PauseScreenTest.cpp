#include "screens/PauseScreen.hpp"
#include "ScreenTestSupport.hpp"

#include <gtest/gtest.h>

const int64_t T = 5000000;

struct Pause : ::testing::Test {
    Pause() : screen(&resources) {
        screen.enter(T);
        screen.draw(screen.canvas);
        cv::GaussianBlur(road, blurred, cv::Size(0, 0), 3.1);
    }
    // A paused frame at `now`; false when the frame shows nothing but the colour blur.
    bool shownAt(int64_t now, int shift = 0) {
        screen.update(shift, now);
        cv::Mat frame = road.clone();
        compose(screen, frame);
        return !identical(frame, blurred);
    }
    Resources resources;
    PauseScreen screen;
    cv::Mat road = roadFrame(), blurred;
};

TEST_F(Pause, BlinkShows600HidesFor200FromTheFrameThatNoticedAndStandsStillBetweenPauses) {
    // Frames at T + at[i]; the sixth frame is late, and its phase runs from there.
    const int64_t at[] = {0,        400000,   599999,   600000,   60000000, 61000000,
                          62030000, 62629999, 62630000, 62829999, 62830000};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(shownAt(T + at[i]), "11101011001"[i] == '1') << at[i];
}

TEST_F(Pause, HintFollowsTheSteeringBetweenTenPixelMargins) {
    const int w = screen.hintWidth; // {shift, hintX after it}: centred, then between margins
    const int steps[][2] = {{0, 250 - w / 2}, {5, 255 - w / 2}, {1000, 490 - w}, {-1000, 10}};
    for (const auto& [shift, x] : steps) {
        shownAt(T, shift);
        EXPECT_EQ(screen.hintX, x) << shift;
    }
}
