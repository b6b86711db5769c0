// One frame's work as the main loop does it (update, draw, the loop's blur) in each state of
// the game. A screen that stands still is drawn again only when something on it changes (a
// blink), so its frames cost little; a steered start screen changes every frame. Run from the
// repository root: the game loads graphics/ from there.

#include "app/FrameBlur.hpp"
#include "core/KeyCodes.hpp"
#include "game/Game.hpp"
#include "game/RunScene.hpp"

#include <benchmark/benchmark.h>
#include <sstream>

namespace {
constexpr int64_t FRAME_MICROS = 16667;

class Frame {
public:
    Frame() {
        if (!game.init(now)) {
            throw std::runtime_error("run the benchmark from the repository root");
        }
        game.update(0, now); // the first update of a run only records the time
    }

    void step(int shift) {
        now += FRAME_MICROS;
        game.update(shift, now);
        const bool changed = game.redraw();
        benchmark::DoNotOptimize(blur.newPicture(game.frame(), changed, true));
    }

    // A run at 100 km/h with four traffic cars standing on the road: the kerbs move, nothing
    // arrives, leaves or speeds up, so every frame does much the same work.
    void playWithFourCars() {
        game.startRun();
        game.update(0, now);
        RunScene scene(game);
        scene.holdTraffic();
        scene.holdSpeed();
        scene.setPlayerSpeed(100.0 * Run::pixelsPerMeter * 10.0 / 36.0);
        for (int i = 0; i < 4; ++i) {
            scene.placeCar(210 + i * 95, 40.0 + i * 110.0, 0);
        }
    }

    // The game's messages (a missing high-score table, ...) stay out of the benchmark's
    // standard output, which may have to be valid JSON.
    std::ostringstream console;
    Game game{1, "hiscore.xml", nullptr, console};
    FrameBlur blur;
    int64_t now = 1000000;
};

// Steering, when asked for, moves one pixel to the right and back again in turn.
void runFrames(benchmark::State& state, Frame& frame, bool steered = false) {
    int shift = 1;
    for (auto _ : state) {
        frame.step(steered ? shift : 0);
        shift = -shift;
        // A copy of the pointer: Benchmark 1.9 deprecates the overload for a const reference.
        uchar* pixels = frame.game.frame().data;
        benchmark::DoNotOptimize(pixels);
    }
}

void BM_FrameStart(benchmark::State& state) {
    Frame frame;
    runFrames(state, frame);
}

void BM_FrameStartSteered(benchmark::State& state) {
    Frame frame;
    runFrames(state, frame, true);
}

void BM_FramePlaying(benchmark::State& state) {
    Frame frame;
    frame.playWithFourCars();
    runFrames(state, frame);
}

void BM_FramePaused(benchmark::State& state) {
    Frame frame;
    frame.playWithFourCars();
    frame.game.handleKey(KEY_SPACE, frame.now);
    runFrames(state, frame);
}

void BM_FrameNameEntry(benchmark::State& state) {
    Frame frame;
    frame.playWithFourCars();
    // The test key's result, which ranks first in any ordinary table.
    if (!frame.game.handleKey('d', frame.now) || frame.game.state() != GameState::HiScore) {
        state.SkipWithError("the test key should open the name entry");
        return;
    }
    runFrames(state, frame);
}
} // namespace

BENCHMARK(BM_FrameStart)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_FrameStartSteered)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(BM_FramePlaying)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_FramePaused)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(BM_FrameNameEntry)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
