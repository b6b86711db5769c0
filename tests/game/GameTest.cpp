// The game's states and keys, and its frames drawn from values.

#include "GameFixture.hpp"
#include "game/TwinGames.hpp"

#include <functional>
#include <opencv2/imgproc.hpp>

namespace {
using GameStates = GameTest;
using GameDrawing = GameTest;

// The region where two pictures differ; empty when they are equal.
cv::Rect changed(const cv::Mat& a, const cv::Mat& b) {
    const cv::Mat channels = a != b;
    cv::Mat differs;
    cv::reduce(channels.reshape(1, a.rows * a.cols), differs, 1, cv::REDUCE_MAX);
    return cv::boundingRect(differs.reshape(1, a.rows));
}
} // namespace

// Each time the start screen comes back, its marker car starts from the middle again.
TEST_F(GameStates, TheMarkerCarStartsARunPastTheStartLineAndQuitsInTheGarage) {
    for (const auto& [shift, chosen] : {std::pair{5, GameState::Playing}, {-5, GameState::Quit}}) {
        game.toStartScreen();
        step(0);
        for (int i = 0; i < 37 && game.state() == GameState::Start; ++i)
            step(16667, shift);
        EXPECT_EQ(game.state(), chosen) << shift;
    }
}

// {points of a car that leaves before the time is up, the state after}: a run of 0 points
// does not rank in the built-in table.
TEST_F(GameStates, TimeUpOffersTheRunsResultAndOnlyOneThatRanksOpensNameEntryForTypedText) {
    for (const auto& [points, after] :
         {std::pair{0, GameState::Start}, {5000, GameState::HiScore}}) {
        startRun();
        RunScene(game).placeCar(200, 601, points);
        step(16667);
        step(60000000);
        ASSERT_EQ(game.state(), after) << points;
        EXPECT_EQ(game.wantsTypedText(), after == GameState::HiScore) << points; // only a name
    }
    EXPECT_EQ(game.view().table->pending, HiScoreEntry("", 0, 5000, 0));
}

TEST_F(GameStates, APauseStopsTheRunsClockWhichGoesOnWithoutAJump) {
    startRun();
    step(10000);
    ASSERT_TRUE(press(KEY_SPACE));
    step(2000000);
    ASSERT_TRUE(press(KEY_SPACE));
    step(20000);
    EXPECT_EQ(game.run().gameTime(), 30000);
}

TEST_F(GameTest, TheTableShownAfterASaveHoldsWhatAnotherGameSavedMeanwhile) {
    HiScoreStore other(scratch.path, nullptr, console);
    for (const int better : {1, 8}) {
        startRun();
        ASSERT_TRUE(press('d'));
        for (int i = 0; i < better; ++i)
            other.save(HiScoreEntry("other", 0, 500000 + i, 0));
        ASSERT_TRUE(press('a') && press(KEY_ENTER));
        const FrameView view = game.view();
        const std::list<HiScoreEntry>& shown = view.table->table.entries();
        EXPECT_EQ(shown.front().name, "other");
        EXPECT_EQ(std::next(shown.begin())->name, better == 1 ? "a" : "other");
        EXPECT_EQ(view.start->notice.rfind("Your record no longer ranks", 0),
                  better == 1 ? std::string::npos : 0u);
    }
}

TEST_F(GameDrawing, TheCarsShowWhereTheRunPutsThem) {
    startRun();
    RunScene(game).holdSpeed(); // the road and the HUD stand still
    Car& car = RunScene(game).placeCar(300, 100, 0);
    game.draw();
    const cv::Mat before = game.frame().clone();
    car.x += 7;
    step(0, 3); // and the player steers
    game.draw();
    const CarView& player = game.view().run.player;
    const cv::Rect traffic(300, 100, car.width() + 7, car.height());
    const cv::Rect steered(player.x - 3, player.y, car.width() + 3, car.height());
    const cv::Rect moved = changed(before, game.frame());
    EXPECT_EQ(moved, (moved & traffic) | (moved & steered));
    EXPECT_FALSE((moved & traffic).empty() || (moved & steered).empty()) << moved;
}

TEST_F(GameDrawing, TheViewShakesAfterAHitOnlyInPlay) {
    startRun();
    RunScene(game).placeCar(game.run().player().x, game.run().player().y, 0);
    step(10000);
    ASSERT_TRUE(game.run().shaking());
    for (const bool paused : {false, true}) {
        ASSERT_TRUE(!paused || press(KEY_SPACE));
        game.draw();
        const cv::Mat first = game.frame().clone();
        double moved = 0;
        for (int i = 0; i < 30; ++i) { // each frame has one chance in five to stay in place
            game.draw();
            moved += cv::norm(game.frame(), first, cv::NORM_INF);
        }
        EXPECT_EQ(moved > 0, !paused);
    }
}

// A game that skips drawing beside a twin that draws every frame from scratch. Neither has a
// place for its table, so both refuse to save a record and show the same notice.
class SkippedDrawing : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(games.init(now)); }
    // Frames of the given shift and time step; the numbers of those that differ from the twin's.
    std::vector<int> frames(int count, int shift = 0, int64_t dt = 16667) {
        std::vector<int> differing;
        for (int i = 0; i < count; ++i, ++frame) {
            const TwinGames::Frame shown = games.step(shift, now += dt);
            skipped += shown.drawn ? 0 : 1;
            if (!shown.same)
                differing.push_back(frame);
        }
        return differing;
    }
    bool both(int key) { return games.handleKey(key, now); }

    int64_t now = 1000000000;
    std::ostringstream console;
    TwinGames games{1, "", console};
    Game& game = games.game();
    Game& twin = games.twin();
    int skipped = 0;
    int frame = 0;
    const std::vector<int> none;
};

// The harness itself: a car on the twin's road alone is a difference it reports.
TEST_F(SkippedDrawing, ACarOnlyOneOfTheTwinsHasIsADifference) {
    ASSERT_TRUE(both(KEY_ENTER));
    EXPECT_EQ(frames(2), none);
    RunScene(twin).placeCar(300, 100, 0);
    EXPECT_EQ(frames(1), std::vector<int>{2});
}

TEST_F(SkippedDrawing, EveryScreenLooksDrawnAnewWhileItsPanelMoves) {
    // The start screen stands still, then its car is steered.
    EXPECT_EQ(frames(20), none);
    EXPECT_GE(skipped, 18) << "a still start screen is not drawn again";
    EXPECT_EQ(frames(5, 3), none);
    // The road, then the blinking pause panel, whose hint follows the steering.
    ASSERT_TRUE(both(KEY_ENTER));
    EXPECT_EQ(frames(30, 4), none);
    EXPECT_EQ(frames(30), none) << "the kerbs move while the figures stand";
    ASSERT_TRUE(both(KEY_SPACE));
    EXPECT_EQ(frames(60), none);
    EXPECT_EQ(frames(10, -5), none);
    // Name entry: the blinking cursor, a typed name, a deleted letter, the new table.
    ASSERT_TRUE(both(KEY_SPACE) && both('d'));
    EXPECT_EQ(frames(60), none);
    for (const int key : {int{'J'}, int{'o'}, KEY_BACKSPACE, int{KEY_ENTER}}) {
        ASSERT_TRUE(both(key));
        EXPECT_EQ(frames(3), none) << key;
    }
    // The notice of the refused save goes after its time, and nothing else changes.
    ASSERT_NE(game.view().start->notice, "");
    EXPECT_EQ(frames(1, 0, StartScreen::noticeMicros), none);
    EXPECT_EQ(game.view().start->notice, "");
}

TEST_F(SkippedDrawing, AStillRoadShowsEachChangeOfItsCarsItsClockAndItsShake) {
    ASSERT_TRUE(both(KEY_ENTER));
    std::vector<Car*> cars;
    for (Game* g : {&game, &twin}) {
        RunScene scene(*g);
        scene.holdTraffic();
        scene.holdSpeed();
        cars.push_back(&scene.placeCar(300, 100, 0));
    }
    EXPECT_EQ(frames(2), none);
    const std::function<void(Car&)> changes[] = {
        [](Car& car) { car.y += 5; }, [](Car& car) { car.x += 5; },
        [this](Car& car) { car.startBlink(game.run().gameTime()); }, // it hides
    };
    for (const auto& apply : changes) {
        for (Car* car : cars)
            apply(*car);
        EXPECT_EQ(frames(1), none) << "change " << (&apply - changes);
    }
    EXPECT_EQ(frames(1, 5), none) << "the player's car";
    EXPECT_EQ(frames(7), none) << "the seconds left, at a standstill";
    for (Game* g : {&game, &twin})
        RunScene(*g).placeCar(g->run().player().x, g->run().player().y, 0);
    EXPECT_EQ(frames(10), none) << "the shake after a hit, at a standstill";
}
