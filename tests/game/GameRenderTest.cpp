#include "gfx/Palette.hpp"

#include "GameFixture.hpp"

#include <cstdlib>
#include <set>

namespace {
class GameRender : public GameTest {
protected:
    // The value drawn below the anchor, compared with the same text drawn on the backdrop.
    bool shows(const cv::Point& anchor, const std::string& text) {
        const cv::Point at = anchor + cv::Point(10, 45);
        cv::Mat expected = game.background.clone();
        drawText(expected, text, at.x, at.y, game.hudFont, YELLOW, cv::LINE_8);
        const cv::Rect area(at.x - 5, at.y - game.hudFont.height - 5, 150,
                            game.hudFont.height + 15);
        return cv::norm(game.frame(area), expected(area), cv::NORM_INF) == 0;
    }
    cv::Vec3b at(int x, int y) { return game.frame.at<cv::Vec3b>(y, x); }
    cv::Mat drawn() {
        game.draw();
        return game.frame.clone();
    }
};

const cv::Vec3b RED_PIXEL(0, 0, 255);
const cv::Vec3b WHITE_PIXEL(255, 255, 255);
} // namespace

TEST_F(GameRender, HudRightAfterInit) {
    game.state = StatePlaying; // no panel over the road
    game.draw();
    EXPECT_TRUE(shows(game.timePos, "60.0"));
    EXPECT_FALSE(shows(game.timePos, "59.9"));
    EXPECT_TRUE(shows(game.scorePos, "0"));
    EXPECT_TRUE(shows(game.hitsPos, "0"));
    EXPECT_TRUE(shows(game.speedPos, "0"));
    EXPECT_TRUE(shows(game.lengthPos, "0.00"));
}

TEST_F(GameRender, HudValuesAreTruncatedOrRoundedAsShown) {
    startRun();
    game.nextSpawnTime = NEVER;
    step(12345678);
    game.draw();
    EXPECT_TRUE(shows(game.timePos, "47.7"));
    EXPECT_TRUE(shows(game.speedPos, "3")) << "30 px/s are 3.6 km/h";

    player().speed = 299;
    game.score = 12.9;
    game.length = 1500;
    game.hits = 7;
    game.draw();
    EXPECT_TRUE(shows(game.speedPos, "35"));
    EXPECT_TRUE(shows(game.scorePos, "12"));
    EXPECT_TRUE(shows(game.lengthPos, "1.50"));
    EXPECT_TRUE(shows(game.hitsPos, "7"));
}

TEST_F(GameRender, KerbsArePastedAtTheTruncatedOffset) {
    game.state = StatePlaying;
    game.stripeOffset = -45.5; // strips at rows -45 and 375, bands of 30 from red
    game.draw();
    const int rowsAndBands[][2] = {{0, 1}, {14, 1}, {15, 0}, {374, 1}, {375, 0}, {404, 0},
                                   {405, 1}, {599, 1}};
    for (const int x : {game.leftStripeX, game.leftStripeX + 19, game.rightStripeX + 10}) {
        for (const auto& rowAndBand : rowsAndBands) {
            EXPECT_EQ(at(x, rowAndBand[0]), rowAndBand[1] ? WHITE_PIXEL : RED_PIXEL)
                << x << ", " << rowAndBand[0];
        }
    }
    EXPECT_EQ(at(game.leftStripeX - 1, 0), cv::Vec3b(115, 220, 109)) << "grass";
    EXPECT_EQ(at(game.leftStripeX + 20, 0), cv::Vec3b(127, 127, 127)) << "road";
}

TEST_F(GameRender, ShakeOnlyDuringPlayShiftingByAtMostTwoWithoutAllocating) {
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
        int found = -99;
        for (int s = -2; s <= 2; ++s) {
            cv::Mat expected = still.clone();
            still.colRange(std::max(0, -s), 800 - std::max(0, s))
                .copyTo(expected.colRange(std::max(0, s), 800 - std::max(0, -s)));
            if (cv::norm(shaken, expected, cv::NORM_INF) == 0) {
                found = s;
            }
        }
        ASSERT_NE(found, -99) << "not a sideways shift of up to 2 pixels";
        shifts.insert(found);
    }
    EXPECT_GE(shifts.size(), 3u);
    EXPECT_EQ(game.frame.data, pixels) << "frame is reused";
}

TEST_F(GameRender, PanelsByState) {
    // Pixel (1, 1) of each panel lies on its border, where no hint is drawn.
    game.state = StateStart;
    game.draw();
    EXPECT_EQ(at(400 + game.startScreen.x + 1, 300 + game.startScreen.y + 1),
              game.startScreen.canvas.at<cv::Vec3b>(1, 1));
    EXPECT_EQ(at(400 + game.hiScoreScreen.x + 1, 300 + game.hiScoreScreen.y + 1),
              game.hiScoreScreen.canvas.at<cv::Vec3b>(1, 1));

    game.state = StatePlaying;
    game.draw();
    EXPECT_NE(at(400 + game.startScreen.x + 1, 300 + game.startScreen.y + 1),
              game.startScreen.canvas.at<cv::Vec3b>(1, 1));
}
