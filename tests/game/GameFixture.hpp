#pragma once
// A seeded game initialised from the repository's textures on a test clock, its console
// listened to, with the built-in high-score table that saves into a fresh folder of its own.

#include "core/KeyCodes.hpp"
#include "game/Game.hpp"
#include "game/RunScene.hpp"
#include "hiscore/HiScoreTestSupport.hpp"

#include <gtest/gtest.h>
#include <sstream>

class GameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(game.init(now)) << "run from the repository root"; }

    // ENTER on the start screen, then the run's first frame, which only records the time.
    void startRun() {
        game.toStartScreen();
        ASSERT_TRUE(press(KEY_ENTER));
        step(0);
    }
    void step(int64_t dt, int shift = 0) { game.update(shift, now += dt); }
    bool press(int key) { return game.handleKey(key, now); }

    int64_t now = 1000000000;
    Folder scratch;
    std::ostringstream console;
    Game game{1, scratch.path, nullptr, console};
};
