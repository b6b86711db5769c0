#pragma once
// Two games on one seed and clock, for the replay tool and the tests: the first skips drawing
// whenever its view stands still, as the main loop lets it; its twin draws every frame from
// scratch. Each frame's picture of the first must be the twin's, skipped or not.

#include "game/Game.hpp"

#include <cstdint>
#include <ostream>
#include <string>

class TwinGames {
public:
    // Both load hiScoreFile and speak to console. It must be a file neither can save to
    // (empty, or in a folder that does not exist): a record one of them saved would reach
    // the other's table at its next save, and the twins would differ.
    TwinGames(uint64_t seed, const std::string& hiScoreFile, std::ostream& console);

    // False when a texture is missing.
    bool init(int64_t nowMicros);

    struct Frame {
        bool drawn; // the first game drew its picture anew rather than keeping the last
        bool same;  // its picture is the one its twin drew from scratch
    };
    // Both advance to nowMicros with the steering shift and make their pictures.
    Frame step(int shift, int64_t nowMicros);
    // Both take the key; true when both took it.
    bool handleKey(int key, int64_t nowMicros);

    Game& game() { return m_game; }
    Game& twin() { return m_twin; }

private:
    Game m_game;
    Game m_twin;
};
