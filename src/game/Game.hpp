#pragma once
// The heart of the program: the player's car, the traffic, the kerbs, the score, the run
// clock and the three screens, and which of them is active. update advances one frame on an
// explicit clock value; draw composes the 800 by 600 frame that the main loop shows.

#include "game/Car.hpp"
#include "game/GameState.hpp"
#include "gfx/Font.hpp"
#include "gfx/Resources.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "screens/HiScoreScreen.hpp"
#include "screens/PauseScreen.hpp"
#include "screens/StartScreen.hpp"

#include <cstdint>
#include <list>
#include <opencv2/core.hpp>

class Game {
public:
    Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;
    virtual ~Game();

    // Loads the resources, prepares the screens, creates the player's car, paints the
    // backdrop and sets up the first run. False when a texture is missing.
    bool init();
    // One frame: the steering step in pixels and the clock in microseconds.
    void update(int shift, int64_t nowMicros);
    // Composes frame.
    void draw();
    // A raw key code from the window; true when the game consumed it.
    bool handleKey(int key);

    void restart();
    // A new run, played from now on: what ENTER and the start line do on the start screen.
    void startRun();
    void clearCars();
    void spawnCar();
    void toStartScreen();

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
    int state = StateStart;
    int64_t gameDuration = 0;
    int64_t gameTime = 0;
    int64_t nextSpeedUpTime = 0;
    int64_t nextSpawnTime = 0;
    int64_t lastUpdateTime = 0;
    int64_t shakeUntil = 0;
    std::list<Car*> cars; // owned, oldest first
    bool canGenCar = false;
    Car* playerCar = nullptr; // owned
    Resources resources;
    StartScreen startScreen;
    PauseScreen pauseScreen;
    HiScoreScreen hiScoreScreen;
    Font hudFont;
    int pixelsPerMeter = 30;
    cv::Mat shakeFrame; // the unshaken picture during a shake, kept so no frame allocates

private:
    double playerSpeedKmh() const;
    void updatePlaying(int shift, int64_t dt);
    void moveTraffic(int64_t dt);
    void queueBehind(Car& car) const;
    void finishRun();
    // Hands a result to the high-score screen: name entry when it ranks, else the start screen.
    void offerResult(const HiScoreEntry& entry);
    void drawHud();
    void drawScreen(Screen& screen);
};
