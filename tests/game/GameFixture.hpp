#pragma once
// A game initialised from the repository's textures on a test clock, with the built-in
// high-score table that saves into a temporary file.

#include "app/Clock.hpp"
#include "game/Game.hpp"

#include <gtest/gtest.h>

inline int64_t fixtureNow = 0;
inline int64_t fixtureClock() {
    return fixtureNow;
}

class GameTest : public ::testing::Test {
protected:
    static constexpr int64_t NEVER = INT64_MAX / 2;
    static constexpr int ENTER = 13;

    void SetUp() override {
        fixtureNow = 1000000000;
        setClock(fixtureClock);
        ASSERT_TRUE(game.init()) << "run from the repository root";
        game.resources.hiScorePath = ::testing::TempDir() + "game-test-hiscore.xml";
        game.resources.hiScore.clear();
        game.resources.hiScore.loadDefaults();
    }
    void TearDown() override { setClock(nullptr); }

    // ENTER on the start screen, then the run's first frame, which only records the time.
    void startRun(bool traffic = true) {
        game.toStartScreen();
        ASSERT_TRUE(game.handleKey(ENTER));
        step(0);
        game.nextSpawnTime = traffic ? game.nextSpawnTime : NEVER;
    }
    void step(int64_t dt, int shift = 0) { game.update(shift, fixtureNow += dt); }
    Car& addCar(int x, double y, double speed) {
        Car& car = *game.cars.emplace_back(new Car(game.resources.textures[TextureCar]));
        std::tie(car.x, car.y, car.speed) = std::make_tuple(x, y, speed);
        return car;
    }
    Car& player() { return *game.playerCar; }

    Game game;
};
