#pragma once
// A seeded game initialised from the repository's textures on a test clock, with the built-in
// high-score table that saves into a fresh folder of its own.

#include "game/Game.hpp"

#include <filesystem>
#include <gtest/gtest.h>

// A fresh folder for a test's files, removed with everything in it.
struct ScratchFolder {
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::string pattern = std::filesystem::temp_directory_path() / "dravolt-game-XXXXXX";
    std::filesystem::path path = mkdtemp(pattern.data());
};

class GameTest : public ::testing::Test {
protected:
    static constexpr int64_t NEVER = INT64_MAX / 2;
    static constexpr int ENTER = 13;

    void SetUp() override {
        ASSERT_TRUE(game.init(fixtureNow)) << "run from the repository root";
        game.hiScore.clear();
        game.hiScore.loadDefaults();
    }

    // ENTER on the start screen, then the run's first frame, which only records the time.
    void startRun(bool traffic = true) {
        game.toStartScreen();
        ASSERT_TRUE(press(ENTER));
        step(0);
        game.nextSpawnTime = traffic ? game.nextSpawnTime : NEVER;
    }
    void step(int64_t dt, int shift = 0) { game.update(shift, fixtureNow += dt); }
    bool press(int key) { return game.handleKey(key, fixtureNow); }
    Car& addCar(int x, double y, double speed) {
        Car& car = game.cars.emplace_back(game.resources.textures[TextureCar]);
        std::tie(car.x, car.y, car.speed) = std::make_tuple(x, y, speed);
        return car;
    }
    Car& player() { return *game.playerCar; }

    int64_t fixtureNow = 1000000000;
    ScratchFolder scratch;
    Game game{1, scratch.path / "hiscore.xml"};
};
