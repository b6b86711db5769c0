#pragma once
// The colours shared by all drawing code, as (B, G, R); the fourth component is unused.

#include <opencv2/core.hpp>

inline const cv::Scalar WHITE(255, 255, 255);
inline const cv::Scalar GREY(127, 127, 127);
inline const cv::Scalar MAGENTA(255, 0, 255);
inline const cv::Scalar GOLD(0, 215, 255);
inline const cv::Scalar PINK(180, 105, 255);
inline const cv::Scalar GREEN(0, 255, 0);
inline const cv::Scalar PURPLE(240, 32, 160);
inline const cv::Scalar YELLOW(0, 255, 255);
inline const cv::Scalar SILVER(192, 192, 192);
inline const cv::Scalar BLUE(255, 0, 0);
inline const cv::Scalar RED(0, 0, 255);
inline const cv::Scalar BLACK(0, 0, 0);
inline const cv::Scalar BRONZE(11, 134, 184);
