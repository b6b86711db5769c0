#include "app/KeyTable.hpp"
#include "core/Config.hpp"
#include "core/KeyCodes.hpp"
#include "detection/DetectionThread.hpp"
#include "detection/FileFrameSource.hpp"
#include "game/Game.hpp"

#include <gtest/gtest.h>
#include <sstream>

namespace {
class KeyTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(game.init(0)); }

    // The key as the main loop passes it on: lowered first.
    std::string press(int key) {
        out.str("");
        keys.dispatch(lowerKey(key));
        return out.str();
    }

    Config config;
    // A camera that has nothing to give; the thread is never started here.
    DetectionThread detection{config,
                              std::make_unique<FileFrameSource>(std::vector<std::string>{})};
    std::ostringstream console;
    Game game{1, ::testing::TempDir() + "keytable-hiscore.xml", nullptr, console};
    std::ostringstream out;
    KeyTable keys{config, game, detection, out};
};
} // namespace

TEST_F(KeyTableTest, TogglesEchoTheirNewValueAndCapitalsActAsSmallLetters) {
    const std::pair<int, const char*> echoes[] = {{'s', "blur: 0\n"},
                                                  {'S', "blur: 1\n"},
                                                  {'i', "greyscale: 1\n"},
                                                  {'K', "detectionEnabled: 0\n"},
                                                  {'o', "drawAll: 0\n"},
                                                  {'p', "invertX: 0\n"},
                                                  {'l', "dumpInfo called() --\n"}};
    for (const auto& [key, echo] : echoes)
        EXPECT_EQ(press(key), echo) << char(key);
    EXPECT_TRUE(config.greyscale);
    EXPECT_TRUE(detection.dumpInfo && detection.dumpInfoRenewed);
    press('N');
    EXPECT_EQ(config.keyStep, -5);
    press('m');
    EXPECT_EQ(config.keyStep, 5);
}

TEST_F(KeyTableTest, UnboundKeysDoNothing) {
    game.startRun();
    for (int key : std::initializer_list<int>{'b', 'j', 'q', 'w', 'x', 'y', 'r', KEY_NONE, 0xFF51,
                                              0xFF54, 0xFFBE, 0xFFE1, 'R' + 256, 'S' + 256})
        EXPECT_EQ(press(key), "") << key;
    EXPECT_TRUE(game.state() == GameState::Playing && config.blur && config.keyStep == 0);
}

TEST_F(KeyTableTest, GStartsARunOnlyFromTheStartScreen) {
    press('g');
    EXPECT_EQ(game.state(), GameState::Playing);
    ASSERT_TRUE(game.handleKey(KEY_SPACE, 0));
    press('g');
    EXPECT_EQ(game.state(), GameState::Paused);
}

TEST_F(KeyTableTest, TReturnsToTheStartScreenAndVRestartsInPlace) {
    game.startRun();
    game.update(0, 0);
    game.update(0, 5000000);
    ASSERT_TRUE(game.handleKey(KEY_SPACE, 0));
    press('v');
    EXPECT_EQ(game.state(), GameState::Paused);
    EXPECT_EQ(game.run().time(), 0);
    game.toStartScreen();
    game.update(0, 6000000);
    game.update(100, 6100000); // the start screen's car moves off the middle
    press('t');
    EXPECT_EQ(game.state(), GameState::Start);
    EXPECT_EQ(game.view().start->carX, 200);
}

TEST_F(KeyTableTest, DumpListsTimeAndEveryTrafficCar) {
    game.startRun();
    game.update(0, 0);
    game.update(0, 2500000);
    Car& car = game.run().placeCar(200, 37.8, 0);
    const std::string expected =
        " gameTime: 2.500s canGenCar: 1\n cars: 1\n car " + std::to_string(car.id) + ": y: 37\n";
    EXPECT_EQ(press('z'), expected);
    car.y = -12.7; // truncated toward zero
    EXPECT_NE(press('z').find(": y: -12\n"), std::string::npos);
}
