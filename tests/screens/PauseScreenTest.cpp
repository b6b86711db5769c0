#include "ScreenTestSupport.hpp"

#include "screens/PauseScreen.hpp"

#include <gtest/gtest.h>

using namespace screentest;

namespace {

const int64_t T = 5000000;

struct PauseFixture : ::testing::Test {
    PauseFixture() : clock(T), screen(&resources) {
        screen.enter();
        screen.draw(screen.canvas);
    }
    // A paused frame stamped `now`; the screen reads the clock `late` microseconds after.
    bool shownAt(int64_t now, int64_t late = 0, int shift = 0) {
        fakeNow = now + late;
        screen.update(shift, now);
        cv::Mat frame = roadFrame();
        return screen.drawBackground(frame, 150, 235);
    }
    FakeClock clock;
    Resources resources;
    PauseScreen screen;
};

using PauseBlink = PauseFixture;
using PauseHint = PauseFixture;

TEST_F(PauseBlink, Shown600msHidden200msFromTheFreshClockReading) {
    EXPECT_TRUE(shownAt(T + 1000000, 30000)); // the phase starts at the later reading
    EXPECT_TRUE(shownAt(T + 1629999));
    EXPECT_FALSE(shownAt(T + 1630000));
    EXPECT_FALSE(shownAt(T + 1829999));
    EXPECT_TRUE(shownAt(T + 1830000));
}

TEST_F(PauseBlink, PhaseStandsStillBetweenPauses) {
    EXPECT_TRUE(shownAt(T));
    EXPECT_TRUE(shownAt(T + 400000)); // paused again within the phase: it runs to its end
    EXPECT_FALSE(shownAt(T + 600000));
    EXPECT_TRUE(shownAt(T + 60000000)); // a later pause: the first frame toggles
    EXPECT_FALSE(shownAt(T + 61000000));
}

TEST_F(PauseHint, StartsCentredAndStopsTenPixelsFromEitherEdge) {
    ASSERT_GT(screen.hintWidth, 100);
    EXPECT_EQ(screen.hintX, 250 - screen.hintWidth / 2);
    shownAt(T, 0, 5);
    EXPECT_EQ(screen.hintX, 255 - screen.hintWidth / 2);
    shownAt(T, 0, 1000);
    EXPECT_EQ(screen.hintX + screen.hintWidth, 490);
    shownAt(T, 0, -1000);
    EXPECT_EQ(screen.hintX, 10);
    screen.hintWidth = 495; // too wide for both margins: the right one wins
    shownAt(T, 0, 0);
    EXPECT_EQ(screen.hintX, -5);
}

TEST_F(PauseHint, HiddenPhaseShowsOnlyTheColourBlur) {
    shownAt(T);
    cv::Mat shown = roadFrame(), hintless = roadFrame();
    compose(screen, shown);
    screen.drawBackground(hintless, 150, 235);
    overlay(screen.canvas, hintless, 150, 235);
    const cv::Rect drawn = changedRegion(shown, hintless); // the hint alone
    EXPECT_NEAR(drawn.x, 150 + screen.hintX, 2);
    EXPECT_LE(drawn.y + drawn.height, 235 + 130 - 8 + 6);

    shownAt(T + 600000);
    cv::Mat hidden = roadFrame(), blurred;
    cv::GaussianBlur(hidden, blurred, cv::Size(0, 0), 3.1);
    compose(screen, hidden);
    EXPECT_TRUE(identical(hidden, blurred));
}

} // namespace
