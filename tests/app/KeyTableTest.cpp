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
    const std::string letters = "sSiKopl";
    const char* const echoes[] = {
        "blur: 0\n",    "blur: 1\n",    "greyscale: 1\n",        "detectionEnabled: 0\n",
        "drawAll: 0\n", "invertX: 0\n", "dumpInfo called() --\n"};
    for (std::size_t i = 0; i < letters.size(); ++i)
        EXPECT_EQ(press(letters[i]), echoes[i]) << letters[i];
    EXPECT_TRUE(config.greyscale);
    EXPECT_TRUE(detection.dumpInfo && detection.dumpInfoRenewed);
    press('N');
    EXPECT_EQ(config.keyStep, -5);
    press('m');
    EXPECT_EQ(config.keyStep, 5);
}

TEST_F(KeyTableTest, GStartsARunOnlyFromTheStartScreen) {
    press('g');
    EXPECT_EQ(game.state(), GameState::Playing);
    ASSERT_TRUE(game.handleKey(KEY_SPACE, 0));
    press('g');
    EXPECT_EQ(game.state(), GameState::Paused);
}
