#pragma once
// One car on the road, the player's or a traffic car, as the rules see it: its size, place and
// speed, the colour of its body, and the blinking of a car the player has run into.

#include "game/CarView.hpp"
#include "gfx/Blink.hpp"

#include <cstdint>
#include <opencv2/core.hpp>

class Car {
public:
    // id: the car's serial number; size: its picture's.
    Car(int id, cv::Size size, const cv::Scalar& colour);
    virtual ~Car() = default;

    // Marks the car as run into at the given time of the run: it hides at once, then blinks.
    void startBlink(int64_t gameTime);
    // The blink at the given time of the run; a phase that has run out starts the next one.
    void updateBlink(int64_t gameTime);
    // How it is drawn: its top edge truncated toward zero, so a car at -12.7 shows from its
    // 13th row on; hidden in the hidden phases of its blinking.
    CarView view() const;
    // The top edge as it is drawn and compared.
    int top() const { return static_cast<int>(y); }

    int width() const { return m_size.width; }
    int height() const { return m_size.height; }
    // The player has run into it.
    bool hit() const { return m_hit; }

    int id;             // serial number over all cars of the run's life
    int x = 0;          // left edge
    double y = 0.0;     // top edge, fractional so that slow cars still advance
    double speed = 0.0; // pixels per second
    cv::Rect bounds;    // where the player's car may move; empty for traffic
    cv::Scalar colour;

private:
    cv::Size m_size;
    bool m_hit = false;
    Blink m_blink; // shown until the car is hit
};
