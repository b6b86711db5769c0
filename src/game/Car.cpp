#include "game/Car.hpp"

#include "gfx/Compositing.hpp"

namespace {
// Every car of the process gets the next number, the player's car included; never reset.
int nextCarId = 0;

constexpr int64_t HIDDEN_PHASE = 50000;
constexpr int64_t SHOWN_PHASE = 100000;
} // namespace

Car::Car(const cv::Mat& texture) : id(nextCarId++) {
    // Private copies: each car is recoloured on its own, the texture stays shared and untouched.
    sprite = texture.clone();
    mask = texture.clone();
    makeMask(sprite, mask);
}

cv::Rect Car::draw(cv::Mat& frame) const {
    if (blinkState != 0) {
        return cv::Rect();
    }
    // The cast truncates toward zero, so a car at -12.7 shows from its 13th row on.
    return overlay(sprite, frame, x, static_cast<int>(y), mask);
}

void Car::addLook(Fingerprint& look) const {
    look.add(id).add(x).add(static_cast<int>(y)).add(blinkState);
}

void Car::startBlink(int64_t now) {
    blinkState = 1;
    blinkTime = now;
    nextBlink = now + HIDDEN_PHASE;
    blinkPeriod = HIDDEN_PHASE;
    hit = true;
}

void Car::updateBlink(int64_t delta, int64_t now) {
    if (!hit) {
        return;
    }
    blinkTime += delta;
    if (blinkTime < nextBlink) {
        return;
    }
    blinkState = blinkState == 1 ? 0 : 1;
    blinkPeriod = blinkState == 1 ? HIDDEN_PHASE : SHOWN_PHASE;
    blinkTime = now;
    nextBlink = now + blinkPeriod;
}
