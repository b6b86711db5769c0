#include "game/Car.hpp"

namespace {
constexpr int64_t HIDDEN_PHASE = 50000;
constexpr int64_t SHOWN_PHASE = 100000;
} // namespace

Car::Car(int serial, cv::Size pictureSize, const cv::Scalar& body)
    : id(serial), colour(body), size(pictureSize) {}

CarView Car::view() const {
    return {x, top(), blinkState != 0, colour};
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
