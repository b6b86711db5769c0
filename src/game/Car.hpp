#pragma once
// One car on the road, the player's or a traffic car: its picture and mask, its place and
// speed, and the blinking of a car the player has run into.

#include "gfx/Fingerprint.hpp"

#include <cstdint>
#include <opencv2/core.hpp>

class Car {
public:
    // Copies the car texture (transparent MAGENTA, body RED, shade BLUE) and masks it.
    explicit Car(const cv::Mat& texture);
    Car(const Car&) = delete;
    Car& operator=(const Car&) = delete;
    virtual ~Car() = default;

    // Returns the region it drew into, empty while hidden or outside the frame.
    cv::Rect draw(cv::Mat& frame) const;
    // Adds what draw paints from: the car (its sprite by its id), its place and its blinking.
    void addLook(Fingerprint& look) const;
    // Hides the car for the first phase of its blinking, from now on.
    void startBlink(int64_t now);
    // Advances the blink clock by delta; a phase that has run out starts the next one at now.
    void updateBlink(int64_t delta, int64_t now);

    int width() const { return sprite.cols; }
    int height() const { return sprite.rows; }

    int id = 0;         // serial number over all cars of the process
    int x = 0;          // left edge
    double y = 0.0;     // top edge, fractional so that slow cars still advance
    double speed = 0.0; // pixels per second
    bool hit = false;
    cv::Rect bounds; // where the player's car may move; empty for traffic
    cv::Mat sprite;
    cv::Mat mask;
    int64_t blinkTime = 0;
    int64_t nextBlink = 0;
    int64_t blinkPeriod = 0;
    int blinkState = 0; // 0 shown, 1 hidden
};
