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
    bool shaking() const { return m_gameTime < m_shakeUntil; }
    // gameTime, canGenCar and every traffic car's id and row, as the z key prints them.
    std::string stateDump() const;

    int64_t gameTime() const { return m_gameTime; }
    double score() const { return m_score; }
    int hits() const { return m_hits; }
    const Car& player() const { return m_player; }
    const std::list<Car>& traffic() const { return m_traffic; } // oldest first

private:
    // A traffic car just above the top edge, in a random place with a random speed and colour.
    void spawnCar();
    double speedKmh() const;
    void moveTraffic(int64_t dt);
    void queueBehind(Car& car) const;

    friend class RunScene; // scenes set up by hand, for tests and benchmarks

    cv::Size m_frameSize;
    cv::Size m_carSize;
    int m_nextCarId = 0;
    Car m_player;
    std::list<Car> m_traffic;
    bool m_canGenCar = false;
    double m_kerbOffset = -stripeLength; // the kerbs' scroll, in [-2 * stripeLength, 0)
    double m_score = 0.0;
    int m_hits = 0;
    double m_length = 0.0; // metres
    int64_t m_gameTime = 0;
    int64_t m_nextSpeedUpTime = 0;
    int64_t m_nextSpawnTime = 0;
    int64_t m_shakeUntil = 0;
    cv::RNG m_trafficRng; // places, speeds and colours of new cars
};
