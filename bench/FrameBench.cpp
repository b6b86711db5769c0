// One frame's work as the main loop does it (update, draw, the loop's blur) in each state of
// the game. A screen that stands still is drawn again only when something on it changes (a
// blink), so its frames cost little; a steered start screen changes every frame. Run from the
// repository root: the game loads graphics/ from there.

#include "app/FrameBlur.hpp"
#include "game/Game.hpp"

#include <benchmark/benchmark.h>
#include <iostream>
#include <limits>
#include <sstream>

namespace {
constexpr int64_t FRAME_MICROS = 16667;
constexpr int64_t NEVER = std::numeric_limits<int64_t>::max() / 2;

// Keeps the game's console messages (a missing high-score table, ...) out of the benchmark's
// standard output, which may have to be valid JSON, while it lives.
class QuietConsole {
public:
    QuietConsole() : saved(std::cout.rdbuf(sink.rdbuf())) {}
    ~QuietConsole() { std::cout.rdbuf(saved); }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

private:
    std::ostringstream sink;
    std::streambuf* saved;
};

class Frame {
public:
    Frame() {
        const QuietConsole quiet;
        if (!game.init(now)) {
            throw std::runtime_error("run the benchmark from the repository root");
        }
        game.update(0, now); // the first update of a run only records the time
    }

    void step(int shift) {
        now += FRAME_MICROS;
        game.update(shift, now);
        const bool changed = game.redraw();
        benchmark::DoNotOptimize(blur.newPicture(game.frame, changed, true));
    }

    // A run at 100 km/h with four traffic cars standing on the road: the kerbs move, nothing
    // arrives, leaves or speeds up, so every frame does much the same work.
    void playWithFourCars() {
        game.restart();
        game.state = GameState::Playing;
        game.update(0, now);
        game.gameDuration = NEVER;
        game.nextSpawnTime = NEVER;
        game.nextSpeedUpTime = NEVER;
        game.playerCar->speed = 100.0 * game.pixelsPerMeter * 10.0 / 36.0;
        for (int i = 0; i < 4; ++i) {
            game.spawnCar();
            Car& car = game.cars.back();
            car.x = 210 + i * 95;
            car.y = 40.0 + i * 110.0;
            car.speed = 0;
        }
    }

    Game game{1};
    FrameBlur blur;
    int64_t now = 1000000;
};

// Steering, when asked for, moves one pixel to the right and back again in turn.
void runFrames(benchmark::State& state, Frame& frame, bool steered = false) {
    int shift = 1;
    for (auto _ : state) {
        frame.step(steered ? shift : 0);
        shift = -shift;
        benchmark::DoNotOptimize(frame.game.frame.data);
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
    frame.game.state = GameState::Paused;
    runFrames(state, frame);
}

void BM_FrameNameEntry(benchmark::State& state) {
    Frame frame;
    HiScore& table = frame.game.hiScore;
    table.clear();
    table.loadDefaults(); // a full table of eight
    frame.playWithFourCars();
    // Between the second (3580) and the third (3170) entry: rank 2.
    const HiScoreEntry entry("", 1200, 2300, 5);
    if (!frame.game.hiScoreScreen.offer(entry, frame.now) ||
        frame.game.hiScoreScreen.pendingRank != 2) {
        state.SkipWithError("the result should rank 2");
        return;
    }
    frame.game.state = GameState::HiScore;
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
