#include "gfx/Palette.hpp"

#include "GameFixture.hpp"

#include <cstdlib>
#include <opencv2/imgproc.hpp>
#include <set>

namespace {
class GameRender : public GameTest {
protected:
    // The value below the anchor equals the same text drawn on the backdrop.
    bool shows(const cv::Point& anchor, const std::string& text) {
        const cv::Point at = anchor + cv::Point(10, 45);
        cv::Mat expected = game.background.clone();
        drawText(expected, text, at.x, at.y, game.hudFont, YELLOW, cv::LINE_8);
        const cv::Rect area(at.x - 5, at.y - game.hudFont.height - 5, 150,
                            game.hudFont.height + 15);
        return cv::norm(game.frame(area), expected(area), cv::NORM_INF) == 0;
    }
    cv::Mat drawn() {
        game.draw();
        return game.frame.clone();
    }
};
} // namespace

TEST_F(GameRender, HudValues) {
    game.state = StatePlaying; // no panel over the road
    game.draw();
    EXPECT_TRUE(shows(game.timePos, "60.0"));
    EXPECT_FALSE(shows(game.timePos, "59.9"));
    EXPECT_TRUE(shows(game.scorePos, "0") && shows(game.hitsPos, "0"));
    EXPECT_TRUE(shows(game.speedPos, "0") && shows(game.lengthPos, "0.00"));

    startRun(false);
    step(12345678);
    game.draw();
    EXPECT_TRUE(shows(game.timePos, "47.7"));
    EXPECT_TRUE(shows(game.speedPos, "3")) << "30 px/s are 3.6 km/h";

    player().speed = 299;
    game.score = 12.9;
    game.length = 1500;
    game.draw();
    EXPECT_TRUE(shows(game.speedPos, "35"));
    EXPECT_TRUE(shows(game.scorePos, "12"));
    EXPECT_TRUE(shows(game.lengthPos, "1.50"));
}

TEST_F(GameRender, KerbsArePastedAtTheTruncatedOffset) {
    game.state = StatePlaying;
    game.stripeOffset = -45.5; // strips at rows -45 and 375, bands of 30 from red
    game.draw();
    const int whiteRows[] = {0, 14, 374, 405, 599}, redRows[] = {15, 375, 404};
    for (const int x : {game.leftStripeX, game.leftStripeX + 19, game.rightStripeX + 10}) {
        for (const int y : whiteRows) {
            EXPECT_EQ(game.frame.at<cv::Vec3b>(y, x), cv::Vec3b(255, 255, 255)) << x << "," << y;
        }
        for (const int y : redRows) {
            EXPECT_EQ(game.frame.at<cv::Vec3b>(y, x), cv::Vec3b(0, 0, 255)) << x << "," << y;
        }
    }
    EXPECT_EQ(game.frame.at<cv::Vec3b>(0, 189), cv::Vec3b(115, 220, 109)) << "grass";
    EXPECT_EQ(game.frame.at<cv::Vec3b>(0, 210), cv::Vec3b(127, 127, 127)) << "road";
}

TEST_F(GameRender, ShakeOnlyDuringPlayByAtMostTwoPixelsInTheSameFrame) {
    for (const int state : {StateStart, StatePaused, StateHiScore, StateQuit}) {
        game.state = state;
        game.shakeUntil = -1;
        const cv::Mat still = drawn();
        game.shakeUntil = game.gameTime + 800000;
        EXPECT_EQ(cv::norm(drawn(), still, cv::NORM_INF), 0) << "state " << state;
    }
    game.state = StatePlaying;
    game.shakeUntil = -1;
    const cv::Mat still = drawn();
    const uchar* pixels = game.frame.data;
    game.shakeUntil = game.gameTime + 800000;
    std::srand(7);
    std::set<int> shifts;
    for (int i = 0; i < 30; ++i) {
        const cv::Mat shaken = drawn();
        bool found = false;
        for (int s = -2; s <= 2; ++s) { // the uncovered columns keep the unshaken picture
            cv::Mat expected = still.clone();
            still.colRange(std::max(0, -s), 800 - std::max(0, s))
                .copyTo(expected.colRange(std::max(0, s), 800 - std::max(0, -s)));
            if (cv::norm(shaken, expected, cv::NORM_INF) == 0) {
                shifts.insert(s);
                found = true;
            }
        }
        ASSERT_TRUE(found) << "not a sideways shift of up to 2 pixels";
    }
    EXPECT_GE(shifts.size(), 3u);
    EXPECT_EQ(game.frame.data, pixels) << "the frame's pixels are reused";
}
