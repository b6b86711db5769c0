// Ten minutes of play on the test clock, runs ending and restarting, must not make the
// process grow: every car, every frame and every saved table is given back.

#include "app/FrameBlur.hpp"
#include "game/GameFixture.hpp"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {
long residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}
} // namespace

class GameSoak : public GameTest {};

TEST_F(GameSoak, TenMinutesOfPlayKeepTheResidentSizeFlat) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's own bookkeeping grows on purpose";
#endif
    constexpr int64_t FRAME = 16667;
    constexpr int FRAMES_PER_MINUTE = 3600;
    FrameBlur blur(0.5);
    startRun();
    long afterFirstMinute = 0;
    int runs = 0;
    for (int frame = 0; frame < 10 * FRAMES_PER_MINUTE; ++frame) {
        // Weave across the road, so that the run has its share of collisions.
        const int shift = (frame / 40) % 2 == 0 ? 5 : -5;
        step(FRAME, shift);
        game.draw();
        blur.apply(game.frame);
        if (game.state == GameState::HiScore) {
            press('a');
            press(ENTER); // inserts and saves the record
        }
        if (game.state == GameState::Start) {
            ++runs;
            press(ENTER);
        }
        if (frame == FRAMES_PER_MINUTE)
            afterFirstMinute = residentBytes();
    }
    const long atEnd = residentBytes();
    std::printf("resident size: %ld KiB after the first minute, %ld KiB after ten (%d runs)\n",
                afterFirstMinute / 1024, atEnd / 1024, runs);
    EXPECT_GE(runs, 9);
    EXPECT_LT(atEnd, afterFirstMinute * 105 / 100)
        << "resident size after the first minute " << afterFirstMinute << ", at the end " << atEnd;
}
