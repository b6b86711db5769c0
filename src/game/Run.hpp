#pragma once
// The rules of a run: the clock, the distance, the player's speed and steering, the traffic
// with its queues, the collisions and the score. No pictures and no keys: a run advances on an
// explicit time step and says what its picture shows (view), and the sizes of the pictures it
// needs come in as values. It owns the traffic's random generator, so a seeded run repeats
// its traffic, and the cars' serial numbers, which go on counting over restarts.

#include "game/Car.hpp"
#include "game/RunView.hpp"
#include "hiscore/HiScoreEntry.hpp"

#include <cstdint>
#include <list>
#include <opencv2/core.hpp>
#include <string>

class Run {
public:
    static constexpr int roadWidth = 400;
    // The kerbs' stripes are this long, and so is a metre.
    static constexpr int stripeLength = 30;
    static constexpr int pixelsPerMeter = stripeLength;
    static constexpr int64_t runLength = 60000000;

    // The facts of the pictures the rules depend on.
    struct Layout {
        cv::Size frame; // the road runs down its middle
        cv::Size car;
    };
    // Places the player's car and sets up the first run.
    Run(const Layout& layout, uint64_t seed);
    virtual ~Run() = default;

    // A new run from the start: clock, score, hits and distance at zero, the road empty and
    // the player's car standing.
    void restart();
    // One frame of play: the steering step in pixels and the time step in microseconds. True
    // once the run's time is up; its clock then stands at the end.
    bool play(int shift, int64_t dt);
    // The finished run as a result without a name: metres and points truncated.
    HiScoreEntry result() const;
    // What the picture of the run shows now; the view's shake is for the game to add.
    RunView view() const;
    // The view shakes for a while after every hit.
    bool shaking() const { return gameTime < shakeUntil; }
    // gameTime, canGenCar and every traffic car's id and row, as the z key prints them.
    std::string stateDump() const;

    int64_t time() const { return gameTime; }
    double metres() const { return length; }
    double points() const { return score; }
    int collisions() const { return hits; }
    double kerbOffset() const { return stripeOffset; }
    const Car& player() const { return playerCar; }
    const std::list<Car>& traffic() const { return cars; } // oldest first

    // Scenes for tests and benchmarks: a traffic car placed by hand, no further cars, no
    // further speed-ups, and the player's speed set.
    Car& placeCar(int x, double y, double speed);
    void holdTraffic();
    void holdSpeed();
    void setPlayerSpeed(double pixelsPerSecond);

private:
    // A traffic car at the top edge, in a random place with a random speed and colour.
    void spawnCar();
    double speedKmh() const;
    void moveTraffic(int64_t dt);
    void queueBehind(Car& car) const;

    cv::Size frameSize;
    cv::Size carSize;
    int nextCarId = 0;
    Car playerCar;
    std::list<Car> cars;
    bool canGenCar = false;
    double stripeOffset = -stripeLength;
    double score = 0.0;
    int hits = 0;
    double length = 0.0; // metres
    int64_t gameTime = 0;
    int64_t nextSpeedUpTime = 0;
    int64_t nextSpawnTime = 0;
    int64_t shakeUntil = 0;
    cv::RNG trafficRng; // places, speeds and colours of new cars
};
