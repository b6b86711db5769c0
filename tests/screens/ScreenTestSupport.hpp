#pragma once
// Shared by the screen tests: resources with small drawn textures (no files needed), a clock
// the tests set, and the renderer's way of laying a screen over a frame.

#include "app/Clock.hpp"
#include "gfx/Compositing.hpp"
#include "gfx/Resources.hpp"
#include "screens/Screen.hpp"

#include <opencv2/imgproc.hpp>

namespace screentest {

inline int64_t fakeNow = 0;
inline int64_t fakeClock() {
    return fakeNow;
}

struct FakeClock {
    explicit FakeClock(int64_t start) {
        fakeNow = start;
        setClock(fakeClock);
    }
    ~FakeClock() { setClock(nullptr); }
};

// Car (RED body, BLUE shade), garage and start line, keyed with MAGENTA like the game's files.
inline void fillTextures(Resources& resources) {
    resources.textures.reset(new cv::Mat[3]);
    cv::Mat car(60, 30, CV_8UC3, cv::Scalar(255, 0, 255));
    cv::rectangle(car, cv::Rect(3, 3, 24, 54), cv::Scalar(0, 0, 255), cv::FILLED);
    cv::rectangle(car, cv::Rect(6, 12, 18, 10), cv::Scalar(255, 0, 0), cv::FILLED);
    cv::Mat garage(56, 48, CV_8UC3, cv::Scalar(255, 0, 255));
    cv::rectangle(garage, cv::Rect(4, 4, 40, 48), cv::Scalar(60, 60, 140), cv::FILLED);
    resources.textures[TextureCar] = car;
    resources.textures[TextureGarage] = garage;
    resources.textures[TextureStartLine] = cv::Mat(60, 12, CV_8UC3, cv::Scalar(0, 0, 0));
}

// A busy, colourful 800 by 600 frame standing in for the road.
inline cv::Mat roadFrame(int seed = 1) {
    cv::Mat frame(600, 800, CV_8UC3, cv::Scalar(90, 90, 90));
    cv::RNG rng(seed);
    for (int i = 0; i < 60; ++i) {
        cv::rectangle(frame, cv::Point(rng.uniform(0, 800), rng.uniform(0, 600)),
                      cv::Point(rng.uniform(0, 800), rng.uniform(0, 600)),
                      cv::Scalar(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256)),
                      rng.uniform(1, 4));
    }
    return frame;
}

// One screen laid over the frame as the game's renderer does it.
inline void compose(Screen& screen, cv::Mat& frame) {
    const int px = frame.cols / 2 + screen.x, py = frame.rows / 2 + screen.y;
    if (screen.drawBackground(frame, px, py)) {
        overlay(screen.canvas, frame, px, py);
    }
    screen.drawHint(frame, px, py);
}

inline bool identical(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// The smallest rectangle holding every pixel in which the two images differ.
inline cv::Rect changedRegion(const cv::Mat& a, const cv::Mat& b) {
    cv::Mat difference, largest;
    cv::absdiff(a, b, difference);
    cv::reduce(difference.reshape(1, a.rows * a.cols), largest, 1, cv::REDUCE_MAX);
    return cv::boundingRect(largest.reshape(1, a.rows));
}

inline bool channelsEqual(const cv::Mat& frame) {
    cv::Mat channels[3];
    cv::split(frame, channels);
    return identical(channels[0], channels[1]) && identical(channels[1], channels[2]);
}

} // namespace screentest
