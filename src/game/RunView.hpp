#pragma once
// Everything the picture of a run is drawn from in one frame: the kerbs' place, the traffic,
// the player's car, the heads-up display and the sideways shake of the view after a hit. Two
// frames with equal views have equal pixels.

#include "game/CarView.hpp"
#include "game/HudView.hpp"

#include <tuple>
#include <vector>

struct RunView {
    int kerbTop = 0;              // the top of the kerb stripes' first copy, at most 0
    std::vector<CarView> traffic; // in the order they are drawn, the oldest first
    CarView player;
    HudView hud;
    int shake = 0; // pixels the picture moves sideways; 0 while it stands

    bool operator==(const RunView& other) const {
        return std::tie(kerbTop, traffic, player, hud, shake) ==
               std::tie(other.kerbTop, other.traffic, other.player, other.hud, other.shake);
    }
};
