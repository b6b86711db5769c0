#pragma once
// The heart of the program: the player's car, the traffic, the kerbs, the score, the run
// clock, the high-score table and the three screens, and which of them is active. update
// advances one frame on an explicit clock value; draw composes the 800 by 600 frame that the
// main loop shows. The game owns its random generators, so a seeded game repeats its traffic.

#include "game/Car.hpp"
#include "game/GameState.hpp"
#include "gfx/Font.hpp"
#include "gfx/Resources.hpp"
#include "gfx/TextStamp.hpp"
#include "hiscore/HiScore.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "hiscore/HiScoreStore.hpp"
#include "screens/HiScoreScreen.hpp"
#include "screens/PauseScreen.hpp"
#include "screens/StartScreen.hpp"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <opencv2/core.hpp>
#include <string>
#include <vector>

class GamePaths;

class Game {
public:
    // seed starts the traffic's and the view shake's generators; hiScoreFile is where the
    // table is loaded from and saved to (empty: nowhere); paths finds the textures and makes
    // the folder of the per-user files (null: everything in the working folder).
    explicit Game(uint64_t seed, std::string hiScoreFile = "hiscore.xml",
                  const GamePaths* paths = nullptr);
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    virtual ~Game() = default;

    // Loads the textures and the high-score table, prepares the screens, creates the player's
    // car, paints the backdrop and sets up the first run. False when a texture is missing.
    bool init(int64_t nowMicros);
    // One frame: the steering step in pixels and the clock in microseconds.
    void update(int shift, int64_t nowMicros);
    // Composes frame from scratch, whatever it holds.
    void draw();
    // Composes frame unless it would come out as the last one did, which frame still holds:
    // nothing it is drawn from has changed. True when it composed.
    bool redraw();
    // A raw key code from the window at the given time; true when the game consumed it.
    bool handleKey(int key, int64_t nowMicros);

    void restart();
    // A new run, played from now on: what ENTER and the start line do on the start screen.
    void startRun();
    void clearCars();
    void spawnCar();
    void toStartScreen();
    // gameTime, canGenCar and every traffic car's id and row, as key z prints them.
    std::string stateDump() const;

    cv::Mat background;
    cv::Mat frame;
    cv::Mat stripes;
    int stripeLength = 30;
    int roadWidth = 400;
    double stripeOffset = -30.0;
    int leftStripeX = 0;
    int rightStripeX = 0;
    cv::Point scorePos, speedPos, hitsPos, timePos, lengthPos;
    double score = 0.0;
    int hits = 0;
    double length = 0.0; // metres
    GameState state = GameState::Start;
    int64_t gameDuration = 0;
    int64_t gameTime = 0;
    int64_t nextSpeedUpTime = 0;
    int64_t nextSpawnTime = 0;
    int64_t lastUpdateTime = 0;
    int64_t shakeUntil = 0;
    std::list<Car> cars; // oldest first
    bool canGenCar = false;
    std::unique_ptr<Car> playerCar;
    const GamePaths* paths; // not owned
    Resources resources;
    HiScoreStore hiScores; // reports on the console
    // The store's table, for tests and benchmarks that set one up; the game changes it only
    // through the store.
    HiScore& hiScore;
    StartScreen startScreen;
    PauseScreen pauseScreen;
    HiScoreScreen hiScoreScreen;
    Font hudFont;
    int pixelsPerMeter = 30;
    cv::Mat shakeFrame; // the unshaken picture during a shake, kept so no frame allocates
    cv::RNG trafficRng; // places, speeds and colours of new cars
    cv::RNG shakeRng;   // the view shake's offsets, apart so that a shake never changes the traffic

private:
    double playerSpeedKmh() const;
    // Saves the record just named; what went wrong is shown on the start screen.
    void saveRecord(const HiScoreEntry& record, int64_t now);
    void updatePlaying(int shift, int64_t dt, int64_t now);
    void moveTraffic(int64_t dt, int64_t now);
    void queueBehind(Car& car) const;
    void finishRun(int64_t now);
    // Hands a result to the high-score screen: name entry when it ranks, else the start screen.
    void offerResult(const HiScoreEntry& entry, int64_t now);
    bool shaking() const;
    // Makes frame the backdrop again: only where the last picture drew, when that was the
    // road alone; everywhere after a shake or a screen.
    void clearFrame();
    // The five figures of the HUD, each with the place of its label.
    struct HudValue {
        cv::Point anchor;
        std::string text;
    };
    std::array<HudValue, 5> hudValues() const;
    void compose(const std::array<HudValue, 5>& hud);
    void drawHud(const std::array<HudValue, 5>& values);
    // The panels over the road in the current state, in the order they are drawn.
    std::array<Screen*, 2> panels();
    void drawScreen(Screen& screen);
    // Everything the frame is drawn from but the textures and backdrops, fixed after init.
    void addLook(Fingerprint& look, const std::array<HudValue, 5>& hud);

    std::array<TextStamp, 5> hudStamps; // one for each of hudValues
    // Where the last compose drew on the backdrop, and whether nothing (a screen, a shake)
    // came over that.
    std::vector<cv::Rect> drawnOnRoad;
    bool roadAloneShown = false;
    Fingerprint drawnLook; // of the picture frame holds
    Fingerprint nextLook;  // scratch, to keep each frame's fingerprint from allocating
    bool lookDrawn = false;
};
