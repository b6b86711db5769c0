#include "app/KeyTable.hpp"
#include "app/Console.hpp"
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

    // The key as the main loop hands it over: to the game first, then lowered to the table.
    std::string press(int key) {
        out.str("");
        if (!game.handleKey(key, now))
            keys.dispatch(lowerKey(key));
        return out.str();
    }
    // The given state, a second into a run.
    void enter(GameState state) {
        game.startRun();
        game.update(0, now);
        game.update(0, now += 1000000);
        if (state == GameState::Start)
            game.toStartScreen();
        else if (state != GameState::Playing)
            game.handleKey(state == GameState::Paused ? KEY_SPACE : 'd', now);
    }

    int64_t now = 0;
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
    std::ostringstream help;
    printHelp(help);
    const std::string letters = "sSiKoplhZ";
    const std::string echoes[] = {
        "blur: 0\n",     "blur: 1\n",    "greyscale: 1\n",         "detectionEnabled: 0\n",
        "drawAll: 0\n",  "invertX: 0\n", "dumpInfo called() --\n", help.str(),
        game.stateDump()};
    for (std::size_t i = 0; i < letters.size(); ++i)
        EXPECT_EQ(press(letters[i]), echoes[i]) << letters[i];
    EXPECT_TRUE(config.greyscale);
    EXPECT_TRUE(detection.dumpRequested());
    press('N');
    EXPECT_EQ(config.keyStep, -5);
    press('m');
    EXPECT_EQ(config.keyStep, 5);
}

// {state, key, state after, the run's clock after}: ESC quits from the start screen and the
// pause (a run is left by the main loop), g starts a run from the start screen alone, r
// abandons a run without an offer, t returns to the start screen from anywhere, v starts the
// run again where it is; during name entry they are letters of the name.
TEST_F(KeyTableTest, EscGRTAndVInEachState) {
    using S = GameState;
    const int esc = KEY_ESC;
    const std::tuple<GameState, int, GameState, int64_t> cases[] = {
        {S::Start, esc, S::Quit, 1000000},      {S::Playing, esc, S::Playing, 1000000},
        {S::Paused, esc, S::Quit, 1000000},     {S::Start, 'g', S::Playing, 0},
        {S::Playing, 'g', S::Playing, 1000000}, {S::Paused, 'g', S::Paused, 1000000},
        {S::Start, 'r', S::Start, 1000000},     {S::Playing, 'r', S::Start, 1000000},
        {S::Playing, 'R', S::Start, 1000000},   {S::Paused, 'r', S::Paused, 1000000},
        {S::Start, 't', S::Start, 1000000},     {S::Playing, 't', S::Start, 1000000},
        {S::Paused, 't', S::Start, 1000000},    {S::Start, 'v', S::Start, 0},
        {S::Playing, 'v', S::Playing, 0},       {S::Paused, 'V', S::Paused, 0},
        {S::HiScore, esc, S::HiScore, 1000000}, {S::HiScore, 'v', S::HiScore, 1000000}};
    for (const auto& [before, key, after, clock] : cases) {
        enter(before);
        press(key);
        EXPECT_EQ(game.state(), after) << key << " in state " << int(before);
        EXPECT_EQ(game.run().gameTime(), clock) << key << " in state " << int(before);
    }
    EXPECT_EQ(game.view().table->typedName, "v");
}
