#pragma once
// What the start screen shows beyond its fixed picture: where the panel and the marker car
// stand, the ends of the track, and the notice along the frame's bottom edge.

#include <string>
#include <tuple>

struct StartPanel {
    int x = 0;
    int y = 0;
    int carX = 0;
    int carY = 0;
    int leftLimit = 0;
    int rightLimit = 0;
    std::string notice; // empty while none is shown

    bool operator==(const StartPanel& other) const {
        return std::tie(x, y, carX, carY, leftLimit, rightLimit, notice) ==
               std::tie(other.x, other.y, other.carX, other.carY, other.leftLimit, other.rightLimit,
                        other.notice);
    }
};
