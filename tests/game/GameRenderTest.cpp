#include "gfx/Palette.hpp"

#include "GameFixture.hpp"

#include <opencv2/imgproc.hpp>

namespace {
class GameRender : public GameTest {
protected:
    // The value below the anchor equals the same text drawn on the backdrop.
    bool shows(const cv::Point& anchor, const std::string& text) {
        const cv::Point at = anchor + cv::Point(10, 45);
        cv::Mat expected = game.background.clone();
        drawText(expected, text, at.x, at.y, game.hudFont, YELLOW, cv::LINE_8);
        const int h = game.hudFont.height;
        const cv::Rect area(at.x - 5, at.y - h - 5, 150, h + 15);
        return cv::norm(game.frame(area), expected(area), cv::NORM_INF) == 0;
    }
    // A record typed after the test key, saved into a folder that does not exist.
    void failSave() {
        game.hiScorePath = game.hiScoreScreen.hiScoreFile = ::testing::TempDir() + "none/h.xml";
        startRun(false);
        ASSERT_TRUE(press('d'));
        ASSERT_TRUE(press(ENTER) && game.state == GameState::Start);
    }
};
} // namespace

TEST_F(GameRender, HudValues) {
    game.state = GameState::Playing; // no panel over the road
    game.draw();
    EXPECT_TRUE(shows(game.timePos, "60.0") && !shows(game.timePos, "59.9"));
    EXPECT_TRUE(shows(game.scorePos, "0") && shows(game.hitsPos, "0"));
    EXPECT_TRUE(shows(game.speedPos, "0") && shows(game.lengthPos, "0.00"));

    startRun(false);
    step(12345678);
    player().speed = 299;
    game.length = 1500;
    game.draw();
    EXPECT_TRUE(shows(game.timePos, "47.7"));
    EXPECT_TRUE(shows(game.speedPos, "35"));
    EXPECT_TRUE(shows(game.lengthPos, "1.50"));
}

TEST_F(GameRender, ShakeOnlyDuringPlayAndInTheSameFrame) {
    for (const GameState state :
         {GameState::Start, GameState::Paused, GameState::HiScore, GameState::Playing}) {
        game.state = state;
        game.shakeUntil = -1;
        game.draw();
        const cv::Mat still = game.frame.clone();
        const uchar* pixels = game.frame.data;
        game.shakeUntil = game.gameTime + 800000;
        double moved = 0;
        for (int i = 0; i < 30; ++i) { // each frame has one chance in five to stay in place
            game.draw();
            moved += cv::norm(game.frame, still, cv::NORM_INF);
        }
        EXPECT_EQ(moved > 0, state == GameState::Playing) << "state " << static_cast<int>(state);
        EXPECT_EQ(game.frame.data, pixels) << "the frame's pixels are reused";
    }
}

TEST_F(GameRender, FailedSaveShowsItsConsoleLineOnTheStartScreen) {
    startRun(false);
    ASSERT_TRUE(press('d') && press(ENTER) && game.startScreen.notice.empty()) << "saved";
    ::testing::internal::CaptureStdout();
    failSave();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), game.startScreen.notice + "\n");
    EXPECT_EQ(game.startScreen.notice.rfind("Can't save '", 0), 0u) << game.startScreen.notice;
}

TEST_F(GameRender, SaveFailureStaysFiveSecondsBelowThePlayersCarAndChangesNothingElse) {
    failSave();
    step(StartScreen::noticeMicros - 1);
    game.draw();
    const cv::Mat shown = game.frame.clone();
    step(1);
    game.draw();
    cv::Mat same;
    cv::inRange(shown != game.frame, cv::Scalar::all(0), cv::Scalar::all(0), same);
    const cv::Rect changed = cv::boundingRect(~same);
    EXPECT_FALSE(changed.empty());
    const int carLastRow = static_cast<int>(player().y) + player().height() - 1;
    EXPECT_GT(changed.y, carLastRow) << changed;
}
