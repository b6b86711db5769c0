#include "ScreenTestSupport.hpp"

#include "gfx/Palette.hpp"
#include "screens/PauseScreen.hpp"

#include <gtest/gtest.h>

using namespace screentest;

namespace {

const int64_t START = 5000000;

struct PauseFixture : ::testing::Test {
    PauseFixture() : clock(START), screen(&resources) {
        screen.enter();
        screen.draw(screen.canvas);
    }
    // One paused frame at time now, the frame's work taking `late` microseconds before the
    // screen reads the clock again.
    bool frameAt(int64_t now, int64_t late = 0, int shift = 0) {
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

TEST_F(PauseBlink, FirstPauseShows600msThenHides200ms) {
    const int64_t t = START + 3000000;
    EXPECT_TRUE(frameAt(t));
    EXPECT_TRUE(frameAt(t + 599999));
    EXPECT_FALSE(frameAt(t + 600000));
    EXPECT_FALSE(frameAt(t + 799999));
    EXPECT_TRUE(frameAt(t + 800000));
    EXPECT_EQ(screen.toggleInterval, 600000);
    EXPECT_EQ(screen.lastToggle, t + 800000);
}

TEST_F(PauseBlink, PhasesRunFromTheFreshClockReading) {
    // The frame's time says t, but the clock has moved on by 30 ms when the phase starts.
    const int64_t t = START + 1000000;
    EXPECT_TRUE(frameAt(t, 30000));
    EXPECT_EQ(screen.nextToggle, t + 30000 + 600000);
    EXPECT_TRUE(frameAt(t + 629999));
    // A late frame does not shorten the next phase to catch up.
    EXPECT_FALSE(frameAt(t + 900000, 0));
    EXPECT_EQ(screen.nextToggle, t + 900000 + 200000);
}

TEST_F(PauseBlink, PhaseStandsStillBetweenPauses) {
    const int64_t t = START + 1000000;
    EXPECT_TRUE(frameAt(t)); // shown until t + 600 ms
    // Resumed after 100 ms; paused again within the shown phase: it runs on to its old end.
    EXPECT_TRUE(frameAt(t + 400000));
    EXPECT_FALSE(frameAt(t + 600000));
    // Resumed in the hidden phase; paused again a minute later: the first frame toggles.
    EXPECT_TRUE(frameAt(t + 60000000));
    // Resumed in the shown phase; a second later the next pause opens hidden.
    EXPECT_FALSE(frameAt(t + 61000000));
}

TEST_F(PauseHint, HintStartsCentredAndStopsAtTheTenPixelMargins) {
    ASSERT_GT(screen.hintWidth, 100);
    EXPECT_EQ(screen.hintX, 250 - screen.hintWidth / 2);
    const int centred = screen.hintX;

    frameAt(START, 0, 5);
    EXPECT_EQ(screen.hintX, centred + 5);
    for (int i = 0; i < 100; ++i) {
        frameAt(START, 0, 5);
    }
    EXPECT_EQ(screen.hintX + screen.hintWidth, 500 - 10);
    for (int i = 0; i < 100; ++i) {
        frameAt(START, 0, -5);
    }
    EXPECT_EQ(screen.hintX, 10);
    frameAt(START, 0, 1000);
    EXPECT_EQ(screen.hintX, 500 - screen.hintWidth - 10);
}

TEST_F(PauseHint, RightMarginWinsForAHintTooWideForBoth) {
    screen.hintWidth = 495;
    frameAt(START, 0, -50);
    EXPECT_EQ(screen.hintX, 500 - 495 - 10);
}

TEST_F(PauseHint, HintAndPanelOnlyInTheShownPhase) {
    const cv::Rect panel(150, 235, 500, 130);

    fakeNow = START;
    screen.update(0, START);
    ASSERT_TRUE(screen.visible);
    cv::Mat shown = roadFrame();
    compose(screen, shown);
    EXPECT_EQ(shown.at<cv::Vec3b>(236, 300), cv::Vec3b(160, 39, 22)); // border
    // The hint: what drawHint adds to the pasted panel, white, where hintX says.
    cv::Mat withoutHint = roadFrame();
    screen.drawBackground(withoutHint, 150, 235);
    overlay(screen.canvas, withoutHint, 150, 235);
    cv::Mat hintPixels;
    cv::inRange(shown - withoutHint, cv::Scalar::all(1), cv::Scalar::all(255), hintPixels);
    const cv::Rect hint = cv::boundingRect(hintPixels);
    EXPECT_NEAR(hint.x, 150 + screen.hintX, 2);
    EXPECT_NEAR(hint.x + hint.width, 150 + screen.hintX + screen.hintWidth, 3);
    EXPECT_LE(hint.y + hint.height, 235 + 130 - 8 + 6);
    EXPECT_GT(countColour(shown, WHITE, hint), 100);

    fakeNow = START + 600000;
    screen.update(0, fakeNow);
    ASSERT_FALSE(screen.visible);
    cv::Mat hidden = roadFrame();
    cv::Mat blurred;
    cv::GaussianBlur(hidden, blurred, cv::Size(0, 0), 3.1);
    compose(screen, hidden);
    EXPECT_TRUE(identical(hidden, blurred)); // only the blurred road, in colour
}

} // namespace
