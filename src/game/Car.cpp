#include "game/Car.hpp"

namespace {
constexpr int64_t SHOWN_PHASE = 100000;
constexpr int64_t HIDDEN_PHASE = 50000;
} // namespace

Car::Car(int serial, cv::Size pictureSize, const cv::Scalar& body)
    : id(serial), colour(body), m_size(pictureSize), m_blink(SHOWN_PHASE, HIDDEN_PHASE, true) {}

CarView Car::view() const {
    return {x, top(), !m_blink.shown(), colour};
}

void Car::startBlink(int64_t gameTime) {
    m_hit = true;
    m_blink.hideFrom(gameTime);
}

void Car::updateBlink(int64_t gameTime) {
    m_blink.update(gameTime);
}
