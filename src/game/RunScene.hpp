#pragma once
// A scene set up by hand on a run, for tests and benchmarks: a traffic car placed where it is
// wanted, no further cars, no further speed-ups, the player's speed set. The game itself never
// does any of this, so its API has none of it; a scene reaches into the run as its friend.

#include "game/Car.hpp"

class Game;
class Run;

class RunScene {
public:
    explicit RunScene(Run& run);
    // The run of an initialised game.
    explicit RunScene(Game& game);

    // A red traffic car with its left edge at x and its top edge at y, driving down at speed
    // pixels per second; the newest of the traffic.
    Car& placeCar(int x, double y, double speed);
    // No further traffic car comes.
    void holdTraffic();
    // The player's car keeps its speed.
    void holdSpeed();
    void setPlayerSpeed(double pixelsPerSecond);

private:
    Run& m_run;
};
