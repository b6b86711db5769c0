#pragma once
// Which part of the game is active.

enum class GameState {
    Start,   // start screen and high-score table over the idle road
    Playing, // the run
    Paused,  // pause screen over the frozen run
    HiScore, // high-score screen with name entry
    Quit     // the main loop stops when it sees this state
};
