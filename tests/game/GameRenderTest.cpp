#include "core/Palette.hpp"

#include "GameFixture.hpp"

#include <functional>
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
    // A record typed after the test key, saved where a folder stands in the file's place.
    void failSave() {
        std::filesystem::remove(scratch.path / "hiscore.xml");
        std::filesystem::create_directory(scratch.path / "hiscore.xml");
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

// A game that skips drawing whenever nothing changed, played beside a twin that draws every
// frame from scratch: every picture must be the twin's, skipped or not.
class SkippedDrawing : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_TRUE(twin.init(fixtureNow));
        twin.hiScore.clear();
        twin.hiScore.loadDefaults();
    }
    // Frames of the given shift; false when one differs from the twin's.
    bool frames(int count, int shift = 0) {
        for (int i = 0; i < count; ++i) {
            fixtureNow += 16667;
            for (Game* g : {&game, &twin}) {
                g->update(shift, fixtureNow);
            }
            skipped += game.redraw() ? 0 : 1;
            twin.draw();
            if (cv::norm(game.frame, twin.frame, cv::NORM_INF) != 0) {
                return false;
            }
        }
        return true;
    }
    bool both(int key) {
        return game.handleKey(key, fixtureNow) && twin.handleKey(key, fixtureNow);
    }
    template <typename Change> void change(Change&& apply) {
        apply(game);
        apply(twin);
    }

    Game twin{1, scratch.path / "twin.xml"};
    int skipped = 0;
};

TEST_F(SkippedDrawing, EveryScreenAndTheRunLookAsIfDrawnAnew) {
    // The start screen stands still, then its car is steered, then a notice comes and goes.
    ASSERT_TRUE(frames(20));
    EXPECT_GE(skipped, 18) << "a still start screen is not drawn again";
    ASSERT_TRUE(frames(5, 3));
    change([&](Game& g) { g.startScreen.showNotice("Something to read", fixtureNow); });
    ASSERT_TRUE(frames(5));
    fixtureNow += StartScreen::noticeMicros;
    ASSERT_TRUE(frames(5));
    change([](Game& g) { g.hiScore.entries.front().score += 1; });
    ASSERT_TRUE(frames(2));

    // The road, the traffic and the HUD's figures.
    ASSERT_TRUE(both(ENTER));
    for (int second = 0; second < 6; ++second) {
        ASSERT_TRUE(frames(30, 4) && frames(30, -4)) << "second " << second;
    }
    ASSERT_FALSE(twin.cars.empty());

    // The blinking pause panel, whose hint follows the steering.
    ASSERT_TRUE(both(' '));
    ASSERT_TRUE(frames(60) && frames(10, -5) && frames(10, 5));
    ASSERT_TRUE(both(' '));
    ASSERT_TRUE(frames(2));

    // Name entry: the blinking cursor, a typed name, a deleted letter, the new table.
    ASSERT_TRUE(both('d'));
    ASSERT_TRUE(frames(60));
    for (const int key : {int{'J'}, int{'o'}, 8, int{'e'}}) {
        ASSERT_TRUE(both(key) && frames(3));
    }
    ASSERT_TRUE(both(ENTER));
    ASSERT_TRUE(frames(5));
}

TEST_F(SkippedDrawing, EachValueOfTheRunShowsWhenItAloneChanges) {
    ASSERT_TRUE(both(ENTER));
    change([](Game& g) {
        g.spawnCar();
        g.cars.back().y = 100;
        g.playerCar->speed = 0; // the road stands still
    });
    ASSERT_TRUE(frames(2));
    ASSERT_TRUE(both(' '));
    const std::function<void(Game&)> changes[] = {
        [](Game& g) { g.stripeOffset += 7; },  [](Game& g) { g.cars.back().y += 5; },
        [](Game& g) { g.cars.back().x += 5; }, [](Game& g) { g.cars.back().blinkState = 1; },
        [](Game& g) { g.playerCar->x += 5; },  [](Game& g) { g.hits += 1; },
    };
    for (const auto& apply : changes) {
        ASSERT_TRUE(frames(1));
        change(apply);
        EXPECT_TRUE(frames(1)) << "change " << (&apply - changes);
    }

    // Play on with the car hidden, then a shaking view, which moves every frame whatever
    // else stands still.
    ASSERT_TRUE(both(' '));
    EXPECT_TRUE(frames(2));
    change([](Game& g) {
        g.cars.clear();
        g.shakeUntil = g.gameTime + 1000000;
    });
    EXPECT_TRUE(frames(6));
}
