#pragma once
// Pasting of key-coloured textures without an alpha channel: MAGENTA marks transparent
// pixels, RED and BLUE the body and its shade in the car texture.

#include <opencv2/core.hpp>

// Turns the image's MAGENTA pixels WHITE and marks them BLACK in the mask; every other
// mask pixel becomes WHITE. The mask is at least as large as the image.
void makeMask(cv::Mat& image, cv::Mat& mask);

// Repaints exact RED pixels with the colour and exact BLUE pixels with its shade
// (each component minus 100, clamped to 0..255).
void recolour(cv::Mat& image, const cv::Scalar& colour);

// Pastes source onto destination with its top-left corner at (x, y), clipped at the
// destination's edges. Without a mask (an empty Mat) the paste is opaque; with one made by
// makeMask, transparent pixels leave the destination untouched. Returns the region of the
// destination it pasted into, empty when nothing was inside.
cv::Rect overlay(const cv::Mat& source, cv::Mat& destination, int x, int y,
                 const cv::Mat& mask = cv::Mat());
