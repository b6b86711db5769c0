#pragma once
// A game initialised from the repository's textures on a test clock, with the high-score
// table reset to the built-in entries and saved into a temporary file.

#include "app/Clock.hpp"
#include "game/Game.hpp"

#include <gtest/gtest.h>
#include <limits>

inline int64_t fixtureNow = 0;
inline int64_t fixtureClock() { return fixtureNow; }

class GameTest : public ::testing::Test {
protected:
    static constexpr int64_t NEVER = std::numeric_limits<int64_t>::max() / 2;
    static constexpr int ENTER = 13;
    static constexpr int ESC = 27;

    void SetUp() override {
        fixtureNow = 1000000000;
        setClock(fixtureClock);
        ASSERT_TRUE(game.init()) << "run from the repository root";
        game.resources.hiScorePath = ::testing::TempDir() + "game-test-hiscore.xml";
        game.resources.hiScore.clear();
        game.resources.hiScore.loadDefaults();
    }
    void TearDown() override { setClock(nullptr); }

    // Starts a run from the start screen with ENTER and takes its first frame, which only
    // records the time.
    void startRun() {
        game.toStartScreen();
        ASSERT_TRUE(game.handleKey(ENTER));
        step(0);
    }
    void step(int64_t dt, int shift = 0) {
        fixtureNow += dt;
        game.update(shift, fixtureNow);
    }
    Car& addCar(int x, double y, double speed) {
        game.cars.push_back(new Car(game.resources.textures[TextureCar]));
        Car& car = *game.cars.back();
        car.x = x;
        car.y = y;
        car.speed = speed;
        return car;
    }
    Car& player() { return *game.playerCar; }
    int rightLane() { return 600 - player().width(); }

    Game game;
};
