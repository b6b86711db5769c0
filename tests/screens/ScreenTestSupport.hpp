#pragma once
// What the screen tests share: resources with small drawn textures (no files needed), a clock
// that the tests set, the renderer's way of laying a screen over a frame, and pixel helpers.

#include "app/Clock.hpp"
#include "gfx/Compositing.hpp"
#include "gfx/Resources.hpp"
#include "screens/Screen.hpp"

#include <cstdint>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace screentest {

inline int64_t fakeNow = 0;
inline int64_t fakeClock() {
    return fakeNow;
}

// Installs the fake clock for the lifetime of the object.
struct FakeClock {
    explicit FakeClock(int64_t start) {
        fakeNow = start;
        setClock(fakeClock);
    }
    ~FakeClock() { setClock(nullptr); }
};

// The three textures in the key colours the game's files use: a car with a RED body and a
// BLUE shade on MAGENTA, a garage with MAGENTA corners, an opaque chequered start line.
inline void fillTextures(Resources& resources) {
    resources.textures.reset(new cv::Mat[3]);
    cv::Mat car(60, 30, CV_8UC3, cv::Scalar(255, 0, 255));
    cv::rectangle(car, cv::Rect(3, 3, 24, 54), cv::Scalar(0, 0, 255), cv::FILLED);
    cv::rectangle(car, cv::Rect(6, 12, 18, 10), cv::Scalar(255, 0, 0), cv::FILLED);
    resources.textures[TextureCar] = car;

    cv::Mat garage(56, 48, CV_8UC3, cv::Scalar(255, 0, 255));
    cv::rectangle(garage, cv::Rect(4, 4, 40, 48), cv::Scalar(60, 60, 140), cv::FILLED);
    resources.textures[TextureGarage] = garage;

    cv::Mat startLine(60, 12, CV_8UC3, cv::Scalar(255, 255, 255));
    for (int row = 0; row < 60; row += 12) {
        cv::rectangle(startLine, cv::Rect(0, row, 6, 6), cv::Scalar(0, 0, 0), cv::FILLED);
        cv::rectangle(startLine, cv::Rect(6, row + 6, 6, 6), cv::Scalar(0, 0, 0), cv::FILLED);
    }
    resources.textures[TextureStartLine] = startLine;
}

// A busy, colourful 800 by 600 frame standing in for the road.
inline cv::Mat roadFrame(int seed = 1) {
    cv::Mat frame(600, 800, CV_8UC3, cv::Scalar(90, 90, 90));
    cv::RNG rng(seed);
    for (int i = 0; i < 60; ++i) {
        const cv::Point a(rng.uniform(0, 800), rng.uniform(0, 600));
        const cv::Point b(rng.uniform(0, 800), rng.uniform(0, 600));
        cv::rectangle(frame, a, b,
                      cv::Scalar(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256)),
                      rng.uniform(1, 4));
    }
    return frame;
}

// One screen laid over the frame as the game's renderer does it.
inline void compose(Screen& screen, cv::Mat& frame) {
    const int px = frame.cols / 2 + screen.x;
    const int py = frame.rows / 2 + screen.y;
    if (screen.drawBackground(frame, px, py)) {
        overlay(screen.canvas, frame, px, py);
    }
    screen.drawHint(frame, px, py);
}

inline bool channelsEqual(const cv::Mat& frame) {
    for (int row = 0; row < frame.rows; ++row) {
        for (int col = 0; col < frame.cols; ++col) {
            const cv::Vec3b& p = frame.at<cv::Vec3b>(row, col);
            if (p[0] != p[1] || p[1] != p[2]) {
                return false;
            }
        }
    }
    return true;
}

inline bool identical(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// Pixels of exactly this colour inside the region.
inline int countColour(const cv::Mat& image, const cv::Scalar& colour,
                       cv::Rect region = cv::Rect()) {
    const cv::Mat view = region.empty() ? image : image(region);
    cv::Mat hits;
    cv::inRange(view, colour, colour, hits);
    return cv::countNonZero(hits);
}

} // namespace screentest
