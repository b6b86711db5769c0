#pragma once
// What the pause screen shows beyond its fixed picture: where the panel stands, whether the
// blinking panel is shown, and where its hint line is.

#include <tuple>

struct PausePanel {
    int x = 0;
    int y = 0;
    bool visible = false;
    int hintX = 0;

    bool operator==(const PausePanel& other) const {
        return std::tie(x, y, visible, hintX) ==
               std::tie(other.x, other.y, other.visible, other.hintX);
    }
};
