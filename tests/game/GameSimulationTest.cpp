#include "game/Random.hpp"
#include "gfx/Palette.hpp"

#include "GameFixture.hpp"

using GameRun = GameTest;
using GameTraffic = GameTest;
using GameKeys = GameTest;

TEST_F(GameRun, FirstUpdateOnlyRecordsTimeThenSpeedUpsReachTopSpeedAndStop) {
    ASSERT_TRUE(game.handleKey(ENTER));
    const int x = player().x;
    game.update(50, fixtureNow);
    EXPECT_EQ(game.gameTime, 0);
    EXPECT_EQ(player().x, x);
    game.nextSpawnTime = NEVER;
    for (int i = 1; i <= 100; ++i) {
        step(500000);
        ASSERT_EQ(player().speed, 30.0 * std::min(i, 45)) << "step " << i;
        ASSERT_TRUE(game.stripeOffset >= -60 && game.stripeOffset < 0) << game.stripeOffset;
        if (i == 1) { // the distance takes the speed before the speed-up, the kerbs after
            EXPECT_EQ(game.length, 0.0);
            EXPECT_DOUBLE_EQ(game.stripeOffset, -15.0);
        }
    }
    EXPECT_EQ(game.gameTime, 50000000);
}

TEST_F(GameRun, SteeringKeepsTheCarOnTheRoad) {
    startRun();
    const int x = player().x;
    step(10000, 5);
    EXPECT_EQ(player().x, x + 5);
    step(10000, -1000);
    EXPECT_EQ(player().x, 200);
    step(10000, 1000);
    EXPECT_EQ(player().x, 600 - player().width());
}

TEST_F(GameRun, HitCostsThirtySixKmhOnlyAboveFiftyKmh) {
    for (const auto& [before, after] : {std::pair{600, 300}, {417, 117}, {416, 416}}) {
        startRun(false);
        game.nextSpeedUpTime = NEVER;
        player().speed = before;
        Car& car = addCar(player().x + player().width(), player().y - 5, 0); // edges touch
        step(10000);
        EXPECT_EQ(player().speed, after) << before;
        EXPECT_TRUE(car.hit && car.blinkState == 1);
        EXPECT_EQ(game.shakeUntil, game.gameTime + 800000);
        step(10000);
        EXPECT_EQ(game.hits, 1) << "a hit car is not hit again";
    }
}

TEST_F(GameRun, AccelerationPausesFiveSecondsFromTheLatestHit) {
    startRun(false);
    step(10000);
    player().speed = 300;
    addCar(player().x, player().y, 0);
    step(10000);
    step(2000000);
    addCar(player().x, player().y, 0);
    step(10000);
    const int64_t secondHit = game.gameTime;
    ASSERT_EQ(game.hits, 2);
    while (game.gameTime + 100000 < secondHit + 5000000) {
        step(100000);
        ASSERT_EQ(player().speed, 300.0) << "at " << game.gameTime - secondHit;
    }
    step(100000);
    EXPECT_EQ(player().speed, 330.0);
}

TEST_F(GameRun, TimeUpOffersTheResultOnceWithTotalZeroWhenNegative) {
    game.resources.hiScore.clear(); // any result ranks
    startRun(false);
    game.hits = 50;
    game.score = 10.9;
    game.length = 20.5;
    game.gameTime = game.gameDuration - 15000;
    step(20000);
    EXPECT_EQ(game.gameTime, game.gameDuration);
    ASSERT_EQ(game.state, StateHiScore);
    const HiScoreEntry& offered = game.hiScoreScreen.pending;
    EXPECT_EQ(std::tie(offered.length, offered.score, offered.hits, offered.total),
              std::make_tuple(20, 10, 50, 0));
    step(10000);
    EXPECT_EQ(game.state, StateHiScore);
    EXPECT_TRUE(game.resources.hiScore.entries.empty()) << "an offer only probes";

    startRun(false); // below the built-in table: back to the start screen
    game.resources.hiScore.loadDefaults();
    game.gameTime = game.gameDuration;
    step(10000);
    EXPECT_EQ(game.state, StateStart);
}

TEST_F(GameTraffic, HitCarScoresNothingButHoldsUpTheCarBehindWhichScoresItsSpeed) {
    startRun(false);
    player().x = 200;
    const int rightLane = 600 - player().width();
    Car& hitCar = addCar(rightLane, 300, 100);
    hitCar.startBlink();
    const Car& behind = addCar(rightLane, 290 - hitCar.height(), 200); // a 10 px gap
    addCar(200, 100, 250).startBlink(); // runs over the player's car without a second hit
    bool shown = false, hidden = false;
    for (int i = 0; i < 1000 && !game.cars.empty(); ++i) {
        step(10000);
        if (game.cars.size() == 3) {
            EXPECT_EQ(behind.speed, 100.0);
            EXPECT_LT(behind.y + behind.height(), hitCar.y) << "no passing through";
            (hitCar.blinkState ? hidden : shown) = true;
        }
    }
    EXPECT_TRUE(game.cars.empty());
    EXPECT_TRUE(shown && hidden) << "the hit car blinks";
    EXPECT_EQ(game.score, 100.0);
    EXPECT_EQ(game.hits, 0);
}

TEST_F(GameTraffic, FirstCarNoEarlierThanThreeSecondsThenNoneWhileOneIsAtTheTop) {
    startRun();
    while (game.cars.empty() && game.gameTime < 5000000) {
        step(16667);
    }
    ASSERT_EQ(game.cars.size(), 1u);
    EXPECT_GE(game.gameTime, 3000000);
    EXPECT_LT(game.gameTime, 3000000 + 16667);
    game.cars.front()->y = 0;
    game.cars.front()->speed = 0;
    for (int i = 0; i < 300; ++i) {
        step(16667);
    }
    EXPECT_EQ(game.cars.size(), 1u);
}

TEST_F(GameTraffic, SpawnDrawsPlaceSpeedAndColourInOrder) {
    cv::Mat body;
    cv::inRange(game.resources.textures[TextureCar], RED, RED, body);
    std::vector<cv::Point> bodyPixels;
    cv::findNonZero(body, bodyPixels);
    ASSERT_FALSE(bodyPixels.empty());
    for (const double playerSpeed : {0.0, 14.9, 60.0, 2000.0}) {
        for (int seed = 1; seed <= 20; ++seed) {
            rng() = cv::RNG(seed);
            cv::RNG expected(seed);
            player().speed = playerSpeed;
            game.spawnCar();
            const Car& car = *game.cars.back();
            EXPECT_EQ(car.x, 200 + expected.uniform(0, 400 - car.width()));
            EXPECT_EQ(car.y, -car.height());
            const int slowest = std::max(5, static_cast<int>(playerSpeed) - 10);
            EXPECT_EQ(car.speed, std::min(slowest, 5 * (4 + expected.uniform(0, 20))));
            EXPECT_TRUE(playerSpeed >= 15 || car.speed == 5);
            cv::Vec3b colour;
            const int k = expected.uniform(0, 3);
            colour[k] = 20 + expected.uniform(0, 40);
            colour[(k + 1) % 3] = 200 + expected.uniform(0, 55);
            colour[(k + 2) % 3] = 10 * expected.uniform(0, 23);
            EXPECT_EQ(car.sprite.at<cv::Vec3b>(bodyPixels[0]), colour);
        }
    }
}

TEST_F(GameKeys, TestResultRanksOrNotAndRAbandonsTheRun) {
    startRun();
    EXPECT_FALSE(game.handleKey(0x110000 | 'd')) << "codes above 255 are not letters";
    EXPECT_TRUE(game.handleKey('D'));
    ASSERT_EQ(game.state, StateHiScore);
    EXPECT_EQ(game.hiScoreScreen.pending.total, 194008);
    EXPECT_FALSE(game.handleKey(ESC)) << "left to the main loop";
    EXPECT_TRUE(game.handleKey('a'));
    EXPECT_TRUE(game.handleKey(ENTER));
    EXPECT_EQ(game.state, StateStart);
    EXPECT_EQ(game.resources.hiScore.entries.front().name, "a");

    HiScoreEntry best("best", 200000, 200000, 0);
    best.total = HiScoreEntry::computeTotal(200000, 200000, 0);
    for (int i = 0; i < 8; ++i) {
        game.resources.hiScore.insert(best, false);
    }
    startRun();
    EXPECT_TRUE(game.handleKey('d'));
    EXPECT_EQ(game.state, StateStart) << "194008 does not rank here";

    startRun();
    addCar(200, 0, 0);
    EXPECT_TRUE(game.handleKey('r'));
    EXPECT_EQ(game.state, StateStart);
    EXPECT_EQ(game.cars.size(), 1u) << "frozen until the next run";
    EXPECT_TRUE(game.handleKey(ENTER));
    EXPECT_TRUE(game.cars.empty());
}

TEST_F(GameKeys, PauseKeepsMeasuringTimeAndEscQuits) {
    startRun();
    step(10000);
    const int64_t played = game.gameTime;
    EXPECT_TRUE(game.handleKey(' '));
    step(2000000);
    EXPECT_EQ(game.gameTime, played);
    EXPECT_TRUE(game.handleKey(' '));
    step(20000);
    EXPECT_EQ(game.gameTime, played + 20000);
    EXPECT_TRUE(game.handleKey(' '));
    EXPECT_TRUE(game.handleKey(ESC));
    EXPECT_EQ(game.state, StateQuit);
}

TEST_F(GameKeys, StartScreenSteeringStartsOrQuits) {
    step(0);
    step(10000, 400);
    EXPECT_EQ(game.state, StatePlaying);
    EXPECT_EQ(game.lastUpdateTime, -1) << "a new run";
    game.toStartScreen();
    step(10000);
    step(10000, -400);
    EXPECT_EQ(game.state, StateQuit);
}
