// The rules of a run, without a single picture: the sizes are the game's frame and car.

#include "game/Run.hpp"
#include "game/RunScene.hpp"

#include <gtest/gtest.h>
#include <set>

namespace {
class RunTest : public ::testing::Test {
protected:
    RunTest() { scene.holdTraffic(); }
    // Frames of dt microseconds; true when the last one ended the run.
    bool play(int64_t dt, int frames = 1, int shift = 0) {
        bool over = false;
        for (int i = 0; i < frames; ++i)
            over = run.play(shift, dt);
        return over;
    }
    const Car& player() const { return run.player(); }
    // A car standing in the player's lane with its top edge at row top.
    Car& standing(double top) { return scene.placeCar(player().x, top, 0); }
    // The first car of a new run whose player keeps the given speed: due after three seconds,
    // made on the frame after the one that reaches them.
    const Car& spawned(double playerSpeed) {
        run.restart();
        scene.holdSpeed();
        scene.setPlayerSpeed(playerSpeed);
        play(3000000);
        play(0);
        return run.traffic().back();
    }

    ::Run run{{{800, 600}, {50, 96}}, 1};
    RunScene scene{run};
};

using RunTimers = RunTest;
using RunSpawn = RunTest;
using RunTraffic = RunTest;
using RunCollision = RunTest;
} // namespace

TEST_F(RunTest, SteeringStaysOnTheRoad) {
    const int x = player().x;
    for (const auto& [shift, expected] : {std::pair{5, x + 5}, {-1000, 200}, {1000, 550}}) {
        play(10000, 1, shift);
        EXPECT_EQ(player().x, expected) << shift;
    }
}

TEST_F(RunTest, AHitCostsThirtySixKmhOnlyAboveFifty) {
    for (const auto& [before, after] : {std::pair{600, 300}, {417, 117}, {416, 416}}) {
        run.restart();
        scene.holdSpeed();
        scene.setPlayerSpeed(before);
        scene.placeCar(player().x + player().width(), player().y - 5, 0); // edges touch
        play(10000);
        EXPECT_EQ(player().speed, after) << before;
        EXPECT_TRUE(run.traffic().back().hit() && run.shaking());
    }
}

// Frames of 10 ms: a speed-up on the first, then every half second.
TEST_F(RunTimers, TheCarSpeedsUpByAMetreASecondEveryHalfSecond) {
    std::string steps;
    for (int i = 0; i < 101; ++i, steps += char('0' + player().speed / 30))
        play(10000);
    EXPECT_EQ(steps, std::string(50, '1') + std::string(50, '2') + "3");
}

TEST_F(RunTimers, SpeedUpsWaitFiveSecondsAfterTheLatestHit) {
    play(10000);
    standing(player().y);
    play(2000000); // a second hit two seconds after the first
    standing(player().y);
    play(10000);
    ASSERT_EQ(run.hits(), 2);
    const double held = player().speed;
    for (const int64_t resume = run.gameTime() + 5000000; run.gameTime() + 100000 < resume;) {
        play(100000);
        ASSERT_EQ(player().speed, held) << "at " << run.gameTime();
    }
    play(100000);
    EXPECT_EQ(player().speed, held + 30);
    play(500000, 45); // on to the top speed, where it stays
    EXPECT_EQ(player().speed, 30.0 * 45);
}

// Frames of 10 ms from the hit on.
TEST_F(RunTimers, TheViewShakesForEightHundredMillisecondsAfterAHit) {
    standing(player().y);
    std::string shakes;
    for (int i = 0; i < 82; ++i, play(10000))
        shakes += run.shaking() ? '1' : '0';
    EXPECT_EQ(shakes, "0" + std::string(80, '1') + "0");
}

TEST_F(RunTimers, TheRunEndsAtSixtySecondsWithItsClockStandingThere) {
    EXPECT_FALSE(play(60000000 - 1));
    EXPECT_TRUE(play(1));
    EXPECT_EQ(run.gameTime(), 60000000);
    run.restart();
    EXPECT_TRUE(play(60000000 + 1000000));
    EXPECT_EQ(run.gameTime(), 60000000);
}

TEST_F(RunTest, TheResultTruncatesMetresAndPoints) {
    scene.setPlayerSpeed(45);       // a metre and a half in the first second
    scene.placeCar(200, 600, 10.9); // leaves the screen unhit
    play(1000000);
    standing(player().y);
    play(10000);
    const HiScoreEntry result = run.result();
    EXPECT_EQ(std::tie(result.score, result.length, result.hits), std::make_tuple(10, 1, 1));
}

TEST_F(RunTest, ARestartClearsTheRunButNotTheCarNumbers) {
    standing(player().y);
    play(10000);
    const int lastId = run.traffic().back().id;
    run.restart();
    EXPECT_TRUE(run.traffic().empty());
    EXPECT_EQ(run.hits(), 0);
    EXPECT_EQ(run.gameTime(), 0);
    EXPECT_EQ(scene.placeCar(0, 0, 0).id, lastId + 1);
}

// Past 0 the kerbs step back by whole pairs of stripes, 60 px, so they stay in [-60, 0); the
// picture takes the offset truncated toward zero (-0.5 after the second step).
TEST_F(RunTest, TheKerbsScrollWithThePlayersSpeedAndStepBackBelowZero) {
    scene.holdSpeed();
    scene.setPlayerSpeed(100);
    for (const auto& [dt, top] :
         {std::pair{100000, -20}, {195000, 0}, {5000, -60}, {1300000, -50}}) {
        play(dt);
        EXPECT_EQ(run.view().kerbTop, top) << dt;
    }
}

// In frames of 10 ms. The first car, slower than the player's by the rule, leaves the top
// within the interval.
TEST_F(RunTimers, FirstCarAfterThreeSecondsTheNextOneAndAHalfLaterOnceTheTopIsClear) {
    run.restart();
    std::vector<int64_t> arrivals;
    for (size_t cars = 0; arrivals.size() < 2 && run.gameTime() < 9000000;) {
        play(10000);
        if (run.traffic().size() > cars)
            arrivals.push_back(run.gameTime());
        cars = run.traffic().size();
    }
    EXPECT_EQ(arrivals, (std::vector<int64_t>{3000000, 4500000}));
}

// {player's speed, slowest, fastest new car}: the player's speed less 10, at least 5 and at
// most the traffic's own, 20 to 115. Every car stands just above the top, and the lanes reach
// both edges of the road: 200 up to 549, where a car 50 wide still ends before the edge, 600.
TEST_F(RunSpawn, ANewCarComesOnTheRoadAboveTheTopNoFasterThanThePlayerLessTen) {
    const std::tuple<double, double, double> cases[] = {
        {0, 5, 5}, {15.9, 5, 5}, {16, 6, 6}, {29.9, 19, 19}, {30, 20, 20}, {1350, 20, 115}};
    std::set<int> lanes;
    for (const auto& [playerSpeed, slowest, fastest] : cases) {
        std::set<double> speeds;
        for (int i = 0; i < 400; ++i) {
            const Car& car = spawned(playerSpeed);
            ASSERT_EQ(car.y, -car.height());
            speeds.insert(car.speed);
            lanes.insert(car.x);
        }
        EXPECT_EQ(*speeds.begin(), slowest) << playerSpeed;
        EXPECT_EQ(*speeds.rbegin(), fastest) << playerSpeed;
    }
    EXPECT_EQ(*lanes.begin(), 200);
    EXPECT_EQ(*lanes.rbegin(), 549);
}

// The first car is due after three seconds of a new run.
TEST_F(RunTraffic, ACarAboveTenPixelsFromTheTopHoldsBackTheNext) {
    for (const int y : {9, 10}) {
        run.restart();
        scene.placeCar(200, y, 0);
        play(16667, 186);
        EXPECT_EQ(run.traffic().size(), y == 10 ? 2u : 1u) << y;
    }
}

// {gap, lane offset, the car ahead hit}: the speed of the car behind after a frame.
TEST_F(RunTraffic, AFasterCarCloserThanTwentyPixelsFallsInBehindEvenAHitOne) {
    const std::tuple<int, int, bool, double> cases[] = {{19, 0, false, 100},   {20, 0, false, 200},
                                                        {19, 50, false, 100},  {19, 51, false, 200},
                                                        {19, -51, false, 200}, {19, 0, true, 100}};
    for (const auto& [gap, offset, hit, speed] : cases) {
        run.restart();
        Car& ahead = scene.placeCar(200, 300, 100);
        if (hit)
            ahead.startBlink(run.gameTime());
        const Car& behind = scene.placeCar(200 + offset, 300 - ahead.height() - gap, 200);
        play(0);
        EXPECT_EQ(behind.speed, speed) << gap << " " << offset << " " << hit;
    }
}

// A car leaves once its top row is below the frame's last one.
TEST_F(RunTraffic, ACarLeavesBelowTheBottomScoringItsSpeedUnlessItWasHit) {
    const std::tuple<double, bool, size_t, double> cases[] = {
        {600.9, false, 1, 0}, {601, false, 0, 50}, {601, true, 0, 0}};
    for (const auto& [top, hit, left, points] : cases) {
        run.restart();
        Car& car = scene.placeCar(200, top, 50);
        if (hit)
            car.startBlink(run.gameTime());
        play(0);
        EXPECT_EQ(run.traffic().size(), left) << top;
        EXPECT_EQ(run.score(), points) << top << " " << hit;
    }
}

TEST_F(RunCollision, AStandingCarHitsWhileItsTruncatedRowsMeetThePlayers) {
    const int top = static_cast<int>(player().y), height = player().height();
    // Oncoming: its bottom must pass the player's top; passed: its top must not leave the
    // player's bottom.
    for (const auto& [row, hits] : {std::pair{top - height + 0.9, 0},
                                    {top - height + 1.0, 1},
                                    {top + height + 0.9, 1},
                                    {top + height + 1.0, 0}}) {
        run.restart();
        standing(row);
        play(10000);
        EXPECT_EQ(run.hits(), hits) << row;
    }
}

// Frames of 10 ms from the hit on, the run's clock at 10 ms.
TEST_F(RunCollision, AHitCarHidesAtOnceAndShowsFiftyMillisecondsLaterOnTheRunsClock) {
    standing(player().y);
    std::string hidden;
    for (int i = 0; i < 6; ++i, hidden += run.view().traffic.back().hidden ? '1' : '0')
        play(10000);
    EXPECT_EQ(hidden, "111110");
}

TEST_F(RunTest, TheHudShowsTheScoreSpeedHitsSecondsLeftAndKilometres) {
    using Texts = std::array<std::string, 5>;
    scene.holdSpeed();
    const HudView start = run.view().hud;
    EXPECT_EQ(start.texts(), (Texts{"0", "0", "0", "60.0", "0.00"}));
    play(10000);
    EXPECT_EQ(run.view().hud, start) << "59.99 s left are written 60.0: nothing to draw again";
    scene.setPlayerSpeed(299);
    play(12335678);
    EXPECT_EQ(run.view().hud.texts(), (Texts{"0", "35", "0", "47.7", "0.12"}));
}
