#include "screens/PauseScreen.hpp"
#include "ScreenTestSupport.hpp"

#include <gtest/gtest.h>

const int64_t T = 5000000;

struct Pause : ::testing::Test {
    Pause() : screen(&resources) {
        useFakeClock(T);
        screen.enter();
        screen.draw(screen.canvas);
        cv::GaussianBlur(road, blurred, cv::Size(0, 0), 3.1);
    }
    // A paused frame stamped `now`, the clock read `late` microseconds after it; false when
    // the frame shows nothing but the colour blur.
    bool shownAt(int64_t now, int64_t late = 0, int shift = 0) {
        fakeNow = now + late;
        screen.update(shift, now);
        cv::Mat frame = road.clone();
        compose(screen, frame);
        return !identical(frame, blurred);
    }
    Resources resources;
    PauseScreen screen;
    cv::Mat road = roadFrame(), blurred;
};

TEST_F(Pause, BlinkShows600HidesFor200FromTheFreshReadingAndStandsStillBetweenPauses) {
    // Frames at T + at[i]; the sixth reads the clock 30 ms late, its phase runs from there.
    const int64_t at[] = {0,        400000,   600000,   60000000, 61000000,
                          62000000, 62629999, 62630000, 62829999, 62830000};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(shownAt(T + at[i], i == 5 ? 30000 : 0), "1101011001"[i] == '1') << at[i];
}

TEST_F(Pause, HintFollowsTheSteeringBetweenTenPixelMargins) {
    const int w = screen.hintWidth; // {shift, hintX after it}: centred, then between margins
    const int steps[][2] = {{0, 250 - w / 2}, {5, 255 - w / 2}, {1000, 490 - w}, {-1000, 10}};
    for (const auto& [shift, x] : steps) {
        shownAt(T, 0, shift);
        EXPECT_EQ(screen.hintX, x) << shift;
    }
}
