#include "GameFixture.hpp"

#include <sstream>

using GameRun = GameTest;
using GameTraffic = GameTest;

TEST_F(GameRun, SpeedUpsEveryHalfSecondStopAtTopSpeedAndTheKerbsFollow) {
    startRun(false);
    for (int i = 1; i <= 100; ++i) {
        step(500000);
        ASSERT_EQ(player().speed, 30.0 * std::min(i, 45)) << "step " << i;
        ASSERT_TRUE(game.stripeOffset >= -60 && game.stripeOffset < 0) << game.stripeOffset;
        // The distance takes the speed before the speed-up, the kerbs the one after.
        EXPECT_TRUE(i > 1 || (game.length == 0 && game.stripeOffset == -15.0));
    }
}

TEST_F(GameRun, SteeringStaysOnTheRoad) {
    startRun(false);
    const int x = player().x;
    for (const auto& [shift, expected] :
         {std::pair{5, x + 5}, {-1000, 200}, {1000, 600 - player().width()}}) {
        step(10000, shift);
        EXPECT_EQ(player().x, expected) << shift;
    }
}

TEST_F(GameRun, HitCostsThirtySixKmhOnlyAboveFiftyAndPausesSpeedUpsFromTheLatestHit) {
    for (const auto& [before, after] : {std::pair{600, 300}, {417, 117}, {416, 416}}) {
        startRun(false);
        game.nextSpeedUpTime = NEVER;
        player().speed = before;
        Car& car = addCar(player().x + player().width(), player().y - 5, 0); // edges touch
        step(10000);
        EXPECT_EQ(player().speed, after) << before;
        EXPECT_TRUE(car.hit && car.blinkState == 1 && game.shakeUntil == game.gameTime + 800000);
        step(10000);
        EXPECT_EQ(game.hits, 1) << "a hit car is not hit again";
    }
    addCar(player().x, player().y, 0);
    step(2000000); // a second hit two seconds after the first
    ASSERT_EQ(game.hits, 2);
    for (const int64_t resume = game.gameTime + 5000000; game.gameTime + 100000 < resume;) {
        step(100000);
        ASSERT_EQ(player().speed, 416.0) << "at " << game.gameTime;
    }
    step(100000);
    EXPECT_EQ(player().speed, 446.0);
}

TEST_F(GameRun, TimeUpOffersTheResultWithTotalZeroWhenNegativeOrReturnsToTheStart) {
    game.hiScore.clear(); // any result ranks
    startRun(false);
    std::tie(game.hits, game.score, game.length) = std::make_tuple(50, 10.9, 20.5);
    game.gameTime = game.gameDuration - 15000;
    step(20000);
    EXPECT_EQ(game.gameTime, game.gameDuration);
    ASSERT_EQ(game.state, GameState::HiScore);
    const HiScoreEntry& offered = game.hiScoreScreen.pending;
    EXPECT_EQ(std::tie(offered.length, offered.score, offered.hits, offered.total),
              std::make_tuple(20, 10, 50, 0));
    EXPECT_TRUE(game.hiScore.entries.empty()) << "an offer only probes";

    startRun(false); // below the built-in table
    game.hiScore.loadDefaults();
    game.gameTime = game.gameDuration;
    step(10000);
    EXPECT_EQ(game.state, GameState::Start);
}

TEST_F(GameRun, PauseKeepsMeasuringTimeAndTheTestKeyOffersItsResult) {
    startRun();
    step(10000);
    EXPECT_TRUE(press(' '));
    step(2000000);
    EXPECT_TRUE(press(' '));
    step(20000);
    EXPECT_EQ(game.gameTime, 30000);
    addCar(200, 0, 0);
    EXPECT_FALSE(press(0x110000 | 'd')) << "codes above 255 are not letters";
    EXPECT_TRUE(press('D'));
    ASSERT_EQ(game.state, GameState::HiScore);
    EXPECT_EQ(game.hiScoreScreen.pending.total, 194008);
    EXPECT_TRUE(press('a') && press(ENTER) && game.state == GameState::Start);
    EXPECT_TRUE(press(ENTER) && game.cars.empty()) << "a new run starts clean";
}

// Records another game saved during the run stand in the table shown after this one's; when
// they outrank it, the start screen says so.
TEST_F(GameRun, TheTableShownAfterASaveHoldsWhatAnotherGameSavedMeanwhile) {
    std::ostringstream console;
    HiScoreStore other((scratch.path / "hiscore.xml").string(), nullptr, console);
    for (const int better : {1, 8}) {
        startRun(false);
        ASSERT_TRUE(press('d'));
        for (int i = 0; i < better; ++i)
            other.save(HiScoreEntry("other", 0, 500000 + i, 0));
        ASSERT_TRUE(press('a') && press(ENTER));
        EXPECT_EQ(game.hiScore.entries.front().name, "other");
        EXPECT_EQ(std::next(game.hiScore.entries.begin())->name, better == 1 ? "a" : "other");
        EXPECT_EQ(game.startScreen.notice.rfind("Your record no longer ranks", 0),
                  better == 1 ? std::string::npos : 0u);
    }
}

TEST_F(GameTraffic, HitCarScoresNothingButHoldsUpTheCarBehindWhichScoresItsSpeed) {
    startRun(false);
    const int rightLane = 600 - player().width();
    Car& hitCar = addCar(rightLane, 300, 100);
    hitCar.startBlink(fixtureNow);
    const Car& behind = addCar(rightLane, 290 - hitCar.height(), 200); // a 10 px gap
    std::string blink; // after each 10 ms: hidden until 50 ms, shown until 150, hidden until 200
    for (int i = 0; i < 1000; ++i) {
        step(10000);
        if (game.cars.size() != 2)
            break; // the hit car is gone
        EXPECT_TRUE(behind.speed == 100.0 && behind.blinkState == 0);
        blink += static_cast<char>('0' + hitCar.blinkState);
    }
    EXPECT_EQ(blink.substr(0, 28), "1111" + std::string(10, '0') + "11111" + "000000000");
    EXPECT_EQ(game.score, 0.0) << "the hit car left first";
    for (int i = 0; i < 1000 && !game.cars.empty(); ++i)
        step(10000);
    EXPECT_EQ(game.score, 100.0);
}

TEST_F(GameTraffic, FirstCarNoEarlierThanThreeSecondsThenNoneWhileOneIsAtTheTop) {
    startRun();
    while (game.cars.empty() && game.gameTime < 5000000)
        step(16667);
    ASSERT_EQ(game.cars.size(), 1u);
    EXPECT_TRUE(game.gameTime >= 3000000 && game.gameTime < 3000000 + 16667) << game.gameTime;
    game.cars.front().speed = 0;
    for (int i = 0; i < 300; ++i)
        step(16667);
    EXPECT_EQ(game.cars.size(), 1u);
}

TEST_F(GameTraffic, ACarAboveTenPixelsFromTheTopHoldsBackTheNext) {
    startRun(false);
    for (const int y : {9, 10}) {
        SCOPED_TRACE(y);
        game.cars.clear();
        addCar(200, y, 0);
        step(0);
        EXPECT_EQ(game.canGenCar, y == 10);
    }
}

TEST_F(GameTraffic, AFasterCarCloserThanTwentyPixelsFallsInBehind) {
    startRun(false);
    for (const int gap : {19, 20}) {
        SCOPED_TRACE(gap);
        game.cars.clear();
        const Car& ahead = addCar(200, 300, 100);
        const Car& behind = addCar(200, 300 - ahead.height() - gap, 200);
        step(0);
        EXPECT_EQ(behind.speed, gap == 19 ? 100.0 : 200.0);
    }
}

TEST_F(GameTraffic, NextCarOneAndAHalfSecondsAfterTheLastOnceTheTopIsClear) {
    startRun();
    while (game.cars.empty() && game.gameTime < 5000000)
        step(16667);
    const int64_t first = game.gameTime;
    std::tie(game.cars.front().y, game.cars.front().speed) = std::make_tuple(200.0, 0.0);
    while (game.cars.size() == 1 && game.gameTime < 9000000)
        step(16667);
    EXPECT_TRUE(game.gameTime - first >= 1500000 && game.gameTime - first < 1500000 + 16667)
        << game.gameTime - first;
}

TEST_F(GameTraffic, SpawnDrawsPlaceThenSpeedAndSlowsCarsToFiveBehindASlowPlayer) {
    for (const double playerSpeed : {0.0, 14.9, 60.0, 2000.0}) {
        player().speed = playerSpeed;
        for (int i = 0; i < 10; ++i) {
            cv::RNG expected = game.trafficRng;
            game.spawnCar();
            const Car& car = game.cars.back();
            const cv::Point2d place(200 + expected.uniform(0, 400 - car.width()), -car.height());
            EXPECT_EQ(cv::Point2d(car.x, car.y), place);
            const int slowest = std::max(5, static_cast<int>(playerSpeed) - 10);
            EXPECT_EQ(car.speed, std::min(slowest, 5 * (4 + expected.uniform(0, 20))));
        }
    }
}

namespace {
class GameCollision : public GameTest {
protected:
    // A still car in the player's lane, its top edge at row carTop: whether the next frame hits.
    bool hitWithTopAt(double carTop) {
        startRun(false);
        addCar(player().x, carTop, 0);
        step(10000);
        return game.hits == 1;
    }
};
} // namespace

TEST_F(GameCollision, PassedCarHitsOnlyWhileItsTruncatedTopIsAtMostThePlayersBottom) {
    const int bottom = static_cast<int>(player().y) + player().height();
    EXPECT_TRUE(hitWithTopAt(bottom + 0.9));
    EXPECT_FALSE(hitWithTopAt(bottom + 1));
}

TEST_F(GameCollision, OncomingCarHitsOnlyOnceItsBottomIsBelowThePlayersTop) {
    const int touching = static_cast<int>(player().y) - player().height(); // same height
    EXPECT_FALSE(hitWithTopAt(touching + 0.9));
    EXPECT_TRUE(hitWithTopAt(touching + 1));
}
