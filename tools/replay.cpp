// Plays one fixed script of steering and keys through every screen of the game, on a fixed
// seed and clock, and prints a checksum of every frame: two builds that print the same lines
// draw the same pictures. A second game, played beside the first, draws every frame from
// scratch; a line ends in "differs" where the first game's picture, skipped or drawn, is not
// the one drawn anew. Run from the repository root (the game loads graphics/ from there).
//
//   dravolt-replay > frames.txt

#include "core/KeyCodes.hpp"
#include "game/TwinGames.hpp"

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {
constexpr int64_t FRAME_MICROS = 16667;

uint64_t checksum(const cv::Mat& image) {
    uint64_t hash = 1469598103934665603ull; // FNV-1a
    for (int row = 0; row < image.rows; ++row) {
        const uchar* pixel = image.ptr(row);
        for (size_t i = 0; i < image.cols * image.elemSize(); ++i) {
            hash = (hash ^ pixel[i]) * 1099511628211ull;
        }
    }
    return hash;
}

// A stretch of frames with one steering step, or a key before one frame.
struct Step {
    int frames;
    int shift;
    int key;
};
} // namespace

int main() {
    // A folder that does not exist: the record's save fails and the start screen says so.
    const std::string table = "/nonexistent-dravolt-replay/hiscore.xml";
    TwinGames games(1, table, std::cout);
    int64_t now = 1000000;
    if (!games.init(now)) {
        std::fprintf(stderr, "run from the repository root\n");
        return 1;
    }
    std::vector<Step> script = {
        {30, 0, KEY_NONE},
        {40, 3, KEY_NONE},
        {40, -3, KEY_NONE},
        {1, 0, KEY_ENTER},
    };
    // Twenty seconds of play, weaving across the road into the traffic now and then.
    for (int i = 0; i < 40; ++i) {
        script.push_back({30, (i % 4 < 2) ? 4 : -4, KEY_NONE});
    }
    const std::vector<Step> rest = {
        {1, 0, KEY_SPACE},  {60, 0, KEY_NONE},  {20, -5, KEY_NONE},    {20, 5, KEY_NONE},
        {1, 0, KEY_SPACE},  {120, 2, KEY_NONE}, {1, 0, 'd'},           {60, 0, KEY_NONE},
        {3, 0, 'J'},        {3, 0, 'o'},        {3, 0, KEY_BACKSPACE}, {3, 0, 'e'},
        {50, 0, KEY_NONE},  {1, 0, KEY_ENTER},  {120, 1, KEY_NONE},    {1, 0, KEY_ENTER},
        {90, -3, KEY_NONE}, {1, 0, 'r'},        {30, 0, KEY_NONE},
    };
    script.insert(script.end(), rest.begin(), rest.end());

    int frame = 0, differing = 0;
    for (const Step& step : script) {
        for (int i = 0; i < step.frames; ++i, ++frame) {
            now += FRAME_MICROS;
            const TwinGames::Frame shown = games.step(step.shift, now);
            differing += shown.same ? 0 : 1;
            std::printf("%d %016llx %s%s\n", frame,
                        static_cast<unsigned long long>(checksum(games.game().frame())),
                        shown.drawn ? "drawn" : "skipped", shown.same ? "" : " differs");
            if (i == 0 && step.key != KEY_NONE) {
                games.handleKey(step.key, now);
            }
        }
    }
    std::fprintf(stderr, "%d frames, %d differ from a picture drawn anew\n", frame, differing);
    return differing == 0 ? 0 : 1;
}
