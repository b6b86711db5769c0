// The rules of a run, without a single picture: the sizes are the game's frame and car.

#include "game/Run.hpp"

#include <gtest/gtest.h>

namespace {
class RunTest : public ::testing::Test {
protected:
    RunTest() { run.holdTraffic(); }
    // Frames of dt microseconds; true when the last one ended the run.
    bool play(int64_t dt, int frames = 1, int shift = 0) {
        bool over = false;
        for (int i = 0; i < frames; ++i)
            over = run.play(shift, dt, now += dt);
        return over;
    }
    const Car& player() const { return run.player(); }
    // A car standing in the player's lane with its top edge at row top.
    Car& standing(double top) { return run.placeCar(player().x, top, 0); }

    int64_t now = 1000000000;
    ::Run run{{{800, 600}, {50, 96}}, 1};
};

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
        run.holdSpeed();
        run.setPlayerSpeed(before);
        run.placeCar(player().x + player().width(), player().y - 5, 0); // edges touch
        play(10000);
        EXPECT_EQ(player().speed, after) << before;
        EXPECT_TRUE(run.traffic().back().hit && run.shaking());
    }
}

TEST_F(RunTest, SpeedUpsWaitFiveSecondsAfterTheLatestHit) {
    play(10000);
    standing(player().y);
    play(2000000); // a second hit two seconds after the first
    standing(player().y);
    play(10000);
    ASSERT_EQ(run.collisions(), 2);
    const double held = player().speed;
    for (const int64_t resume = run.time() + 5000000; run.time() + 100000 < resume;) {
        play(100000);
        ASSERT_EQ(player().speed, held) << "at " << run.time();
    }
    play(100000);
    EXPECT_EQ(player().speed, held + 30);
    play(500000, 45); // on to the top speed, where it stays
    EXPECT_EQ(player().speed, 30.0 * 45);
}

TEST_F(RunTest, TimeUpEndsTheRunWithItsResultTruncated) {
    run.setPlayerSpeed(45);       // a metre and a half in the first second
    run.placeCar(200, 595, 10.9); // leaves the screen unhit
    EXPECT_FALSE(play(1000000));
    EXPECT_EQ(run.points(), 10.9);
    EXPECT_TRUE(play(::Run::runLength));
    EXPECT_EQ(run.time(), ::Run::runLength);
    const HiScoreEntry result = run.result();
    EXPECT_EQ(std::tie(result.score, result.length, result.hits), std::make_tuple(10, 1, 0));
}

TEST_F(RunTest, ARestartClearsTheRunButNotTheCarNumbers) {
    standing(player().y);
    play(10000);
    const int lastId = run.traffic().back().id;
    run.restart();
    EXPECT_TRUE(run.traffic().empty());
    EXPECT_EQ(run.collisions(), 0);
    EXPECT_EQ(run.time(), 0);
    EXPECT_EQ(run.placeCar(0, 0, 0).id, lastId + 1);
}

TEST_F(RunTraffic, HitCarScoresNothingButHoldsUpTheCarBehindWhichScoresItsSpeed) {
    const int rightLane = 550;
    Car& hitCar = run.placeCar(rightLane, 300, 100);
    hitCar.startBlink(now);
    const Car& behind = run.placeCar(rightLane, 290 - hitCar.height(), 200); // a 10 px gap
    std::string blink; // after each 10 ms: hidden until 50 ms, shown until 150, hidden until 200
    for (int i = 0; i < 28; ++i) {
        play(10000);
        blink += static_cast<char>('0' + hitCar.blinkState);
    }
    EXPECT_EQ(blink, "1111" + std::string(10, '0') + "11111" + "000000000");
    for (int i = 0; i < 1000 && run.traffic().size() == 2; ++i) { // the hit car is still there
        EXPECT_TRUE(behind.speed == 100.0 && behind.blinkState == 0);
        play(10000);
    }
    EXPECT_EQ(run.points(), 0.0) << "the hit car left first";
    for (int i = 0; i < 1000 && !run.traffic().empty(); ++i)
        play(10000);
    EXPECT_EQ(run.points(), 100.0);
}

TEST_F(RunTraffic, FirstCarAfterThreeSecondsTheNextOneAndAHalfLaterOnceTheTopIsClear) {
    ::Run traffic({{800, 600}, {50, 96}}, 1);
    const auto frame = [&] { traffic.play(0, 16667, now += 16667); };
    while (traffic.traffic().empty() && traffic.time() < 5000000)
        frame();
    const int64_t first = traffic.time();
    ASSERT_EQ(traffic.traffic().size(), 1u);
    EXPECT_TRUE(first >= 3000000 && first < 3000000 + 16667) << first;
    while (traffic.traffic().size() == 1 && traffic.time() < 9000000)
        frame();
    const int64_t second = traffic.time();
    // The first car, slower than the player's by the rule, leaves the top within the interval.
    EXPECT_TRUE(second - first >= 1500000 && second - first < 1500000 + 16667) << second - first;
}

TEST_F(RunTraffic, ACarAboveTenPixelsFromTheTopHoldsBackTheNext) {
    for (const int y : {9, 10}) {
        ::Run traffic({{800, 600}, {50, 96}}, 1);
        traffic.placeCar(200, y, 0);
        while (traffic.time() < 3100000)
            traffic.play(0, 16667, now += 16667);
        EXPECT_EQ(traffic.traffic().size(), y == 10 ? 2u : 1u) << y;
    }
}

TEST_F(RunTraffic, AFasterCarCloserThanTwentyPixelsFallsInBehind) {
    for (const int gap : {19, 20}) {
        run.restart();
        const Car& ahead = run.placeCar(200, 300, 100);
        const Car& behind = run.placeCar(200, 300 - ahead.height() - gap, 200);
        play(0);
        EXPECT_EQ(behind.speed, gap == 19 ? 100.0 : 200.0) << gap;
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
        EXPECT_EQ(run.collisions(), hits) << row;
    }
}

TEST_F(RunTest, TheHudShowsTheScoreSpeedHitsSecondsLeftAndKilometres) {
    EXPECT_EQ(run.view().hud, (HudView{"0", "0", "0", "60.0", "0.00"}));
    run.holdSpeed();
    run.setPlayerSpeed(299);
    play(12345678);
    EXPECT_EQ(run.view().hud, (HudView{"0", "35", "0", "47.7", "0.12"}));
}
