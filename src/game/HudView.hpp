#pragma once
// The heads-up display's five figures of one frame, as they are written.

#include <string>
#include <tuple>

struct HudView {
    std::string score;
    std::string speed; // km/h
    std::string hits;
    std::string time;   // seconds left
    std::string length; // km

    bool operator==(const HudView& other) const {
        return std::tie(score, speed, hits, time, length) ==
               std::tie(other.score, other.speed, other.hits, other.time, other.length);
    }
};
