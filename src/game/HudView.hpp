#pragma once
// The heads-up display's five figures of one frame as the run has them, and the texts they are
// written as. Two are equal when they are written alike: the time and the distance change in
// every frame of a run, their texts only a few times a second.

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

struct HudView {
    double score = 0.0;
    double speed = 0.0; // km/h
    int hits = 0;
    int64_t timeLeft = 0; // microseconds
    double length = 0.0;  // metres

    // Score, speed, hits, seconds left and kilometres: whole numbers, the seconds truncated to
    // milliseconds and then written to a tenth, the kilometres to a hundredth.
    std::array<std::string, 5> texts() const;

    bool operator==(const HudView& other) const {
        return std::tie(score, speed, hits, timeLeft, length) ==
                   std::tie(other.score, other.speed, other.hits, other.timeLeft, other.length) ||
               texts() == other.texts();
    }
};
