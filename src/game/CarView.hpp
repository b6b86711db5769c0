#pragma once
// What a car on the road looks like in one frame: where it stands, whether it shows (a car
// that was run into blinks), and the colour of its body. Everything a car is drawn from.

#include <opencv2/core.hpp>

#include <tuple>

struct CarView {
    int x = 0; // left edge
    int y = 0; // top edge, truncated toward zero
    bool hidden = false;
    cv::Scalar colour; // of the body; its shade is derived

    bool operator==(const CarView& other) const {
        return std::tie(x, y, hidden) == std::tie(other.x, other.y, other.hidden) &&
               colour == other.colour;
    }
};
