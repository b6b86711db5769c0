#pragma once
// One car on the road, the player's or a traffic car, as the rules see it: its size, place and
// speed, the colour of its body, and the blinking of a car the player has run into.

#include "game/CarView.hpp"

#include <cstdint>
#include <opencv2/core.hpp>

class Car {
public:
    // id: the car's serial number; size: its picture's.
    Car(int id, cv::Size size, const cv::Scalar& colour);
    virtual ~Car() = default;

    // Hides the car for the first phase of its blinking, from now on.
    void startBlink(int64_t now);
    // Advances the blink clock by delta; a phase that has run out starts the next one at now.
    void updateBlink(int64_t delta, int64_t now);
    // How it is drawn: its top edge truncated toward zero, so a car at -12.7 shows from its
    // 13th row on; hidden in the hidden phases of its blinking.
    CarView view() const;
    // The top edge as it is drawn and compared.
    int top() const { return static_cast<int>(y); }

    int width() const { return size.width; }
    int height() const { return size.height; }

    int id;             // serial number over all cars of the run's life
    int x = 0;          // left edge
    double y = 0.0;     // top edge, fractional so that slow cars still advance
    double speed = 0.0; // pixels per second
    bool hit = false;
    cv::Rect bounds; // where the player's car may move; empty for traffic
    cv::Scalar colour;
    int64_t blinkTime = 0;
    int64_t nextBlink = 0;
    int64_t blinkPeriod = 0;
    int blinkState = 0; // 0 shown, 1 hidden

private:
    cv::Size size;
};
