// Ten minutes of play on the test clock, runs ending and restarting, must not make the
// process grow: every car, every frame and every saved table is given back.

#include "app/FrameBlur.hpp"
#include "game/GameFixture.hpp"

#include <fstream>

namespace {
long residentPages() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident;
}
} // namespace

using GameSoak = GameTest;

TEST_F(GameSoak, TenMinutesOfPlayKeepTheResidentSizeFlat) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's own bookkeeping grows on purpose";
#endif
    FrameBlur blur;
    startRun();
    long afterFirstMinute = 0;
    int runs = 0;
    for (int frame = 0; frame < 10 * 3600; ++frame) { // 60 frames a second
        // Weave across the road, so that the run has its share of collisions.
        step(16667, (frame / 40) % 2 == 0 ? 5 : -5);
        blur.newPicture(game.frame(), game.redraw(), true);
        if (game.state() == GameState::HiScore) {
            press('a');
            press(KEY_ENTER); // inserts and saves the record
        }
        if (game.state() == GameState::Start) {
            ++runs;
            press(KEY_ENTER);
        }
        if (frame == 3600)
            afterFirstMinute = residentPages();
    }
    EXPECT_GE(runs, 9);
    EXPECT_LT(residentPages(), afterFirstMinute * 105 / 100)
        << "resident pages after the first minute: " << afterFirstMinute;
}
