#pragma once
// Shared by the screen tests: plain textures, a busy frame, the
// renderer's way of laying a screen over a frame, and the grey blur behind the panels.

#include "gfx/Compositing.hpp"
#include "gfx/Resources.hpp"
#include "screens/Screen.hpp"

#include <opencv2/imgproc.hpp>

inline void fillTextures(Resources& resources) { // car, garage, start line
    resources.textures.reset(new cv::Mat[3]{cv::Mat(60, 30, CV_8UC3, cv::Scalar(0, 0, 255)),
                                            cv::Mat(56, 48, CV_8UC3, cv::Scalar(60, 60, 140)),
                                            cv::Mat(60, 12, CV_8UC3, cv::Scalar(0, 0, 0))});
}

inline cv::Mat roadFrame(int seed = 1) {
    cv::Mat frame(600, 800, CV_8UC3);
    cv::RNG(seed).fill(frame, cv::RNG::UNIFORM, 0, 256);
    return frame;
}

inline void compose(Screen& screen, cv::Mat& frame) {
    const int px = frame.cols / 2 + screen.x, py = frame.rows / 2 + screen.y;
    if (screen.drawBackground(frame, px, py))
        overlay(screen.canvas, frame, px, py);
    screen.drawHint(frame, px, py);
}

inline cv::Mat greyBlur(const cv::Mat& frame) {
    cv::Mat result;
    cv::GaussianBlur(frame, result, cv::Size(0, 0), 3.1);
    cv::cvtColor(result, result, cv::COLOR_RGB2GRAY);
    cv::cvtColor(result, result, cv::COLOR_GRAY2RGB);
    return result;
}

inline bool identical(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && cv::norm(a, b, cv::NORM_INF) == 0;
}
