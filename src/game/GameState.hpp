#pragma once
// Which part of the game is active.

enum GameState {
    StateStart = 0,   // start screen and high-score table over the idle road
    StatePlaying = 1, // the run
    StatePaused = 2,  // pause screen over the frozen run
    StateHiScore = 3, // high-score screen with name entry
    StateQuit = 4     // the main loop stops when it sees this state
};
