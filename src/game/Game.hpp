#pragma once
// The game's states and what moves between them: the start screen with the high-score table,
// a run, the pause, and name entry after a ranking run. It holds the run's rules (Run), their
// drawing (RunDrawing), the three screens and the high-score store. update advances one frame
// on an explicit clock value, handleKey takes the window's keys, and redraw composes the 800
// by 600 frame that the main loop shows, from the frame's view and nothing else that changes.

#include "game/FrameView.hpp"
#include "game/GameState.hpp"
#include "game/Run.hpp"
#include "game/RunDrawing.hpp"
#include "gfx/Resources.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "hiscore/HiScoreStore.hpp"
#include "screens/HiScoreScreen.hpp"
#include "screens/PauseScreen.hpp"
#include "screens/StartScreen.hpp"

#include <cstdint>
#include <opencv2/core.hpp>
#include <optional>
#include <ostream>
#include <string>

class GamePaths;

class Game {
public:
    // seed starts the traffic's and the view shake's generators; hiScoreFile is where the
    // table is loaded from and saved to (empty: nowhere); paths finds the textures and makes
    // the folder of the per-user files (null: everything in the working folder); every
    // message goes to console.
    Game(uint64_t seed, std::string hiScoreFile, const GamePaths* paths, std::ostream& console);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    virtual ~Game() = default;

    // Loads the textures and the high-score table, prepares the screens, places the player's
    // car, paints the backdrop and sets up the first run. False when a texture is missing.
    bool init(int64_t nowMicros);
    // One frame: the steering step in pixels and the clock in microseconds.
    void update(int shift, int64_t nowMicros);
    // A raw key code from the window at the given time; true when the game consumed it.
    bool handleKey(int key, int64_t nowMicros);
    // What the frame shows now, the view's shake aside.
    FrameView view() const;
    // Composes the frame from scratch, whatever it holds.
    void draw();
    // Composes the frame unless its view equals the one it was last composed from, which it
    // then still shows. True when it composed.
    bool redraw();

    // The run again from its start, in the same state: what the v key does.
    void restart();
    // A new run, played from now on: what ENTER and the start line do on the start screen.
    void startRun();
    void toStartScreen();
    // gameTime, canGenCar and every traffic car's id and row, as key z prints them.
    std::string stateDump() const { return run().stateDump(); }

    GameState state() const { return m_state; }
    // Name entry: a letter key is the letter as typed, capital or small.
    bool wantsTypedText() const { return m_state == GameState::HiScore; }
    const cv::Mat& frame() const { return m_frame; }
    // The rules of the run; valid after init.
    const Run& run() const { return *m_run; }

private:
    // Hands a result to the high-score screen: name entry when it ranks, else the start screen.
    void offerResult(const HiScoreEntry& entry, int64_t now);
    // Saves the record just named; what went wrong is shown on the start screen.
    void saveRecord(const HiScoreEntry& record, int64_t now);
    // The view with this frame's shake: a new random offset on every frame of a shake.
    FrameView viewToDraw();
    void compose(const FrameView& view);

    friend class RunScene; // scenes set up by hand on the game's run, for tests and benchmarks

    GameState m_state = GameState::Start;
    int64_t m_lastUpdateTime = 0;
    const GamePaths* m_paths; // not owned
    std::ostream& m_console;
    Resources m_resources;
    HiScoreStore m_store;
    StartScreen m_startScreen;
    PauseScreen m_pauseScreen;
    HiScoreScreen m_hiScoreScreen;
    const uint64_t m_seed;
    std::optional<Run> m_run;            // made by init, once the car's size is known
    std::optional<RunDrawing> m_drawing; // likewise
    cv::RNG m_shakeRng; // the view shake's offsets, apart so that a shake never changes the traffic
    cv::Mat m_frame;
    std::optional<FrameView> m_shown; // the view the frame was last composed from
};
