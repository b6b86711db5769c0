#pragma once
// Shared by the screen tests: plain textures, a busy frame, and pixel equality.

#include "gfx/Resources.hpp"

#include <opencv2/core.hpp>

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

inline bool identical(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// True when every pixel has equal blue, green and red.
inline bool allGrey(const cv::Mat& frame) {
    cv::Mat channels[3];
    cv::split(frame, channels);
    return identical(channels[0], channels[1]) && identical(channels[1], channels[2]);
}
