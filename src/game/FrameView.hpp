#pragma once
// Everything a frame of the game is drawn from: the state, the run's picture and the panels
// shown over it in that state. Two frames with equal views have equal pixels, so the game
// skips drawing a frame whose view equals the last one's.

#include "game/GameState.hpp"
#include "game/RunView.hpp"
#include "screens/HiScorePanel.hpp"
#include "screens/PausePanel.hpp"
#include "screens/StartPanel.hpp"

#include <optional>
#include <tuple>

struct FrameView {
    GameState state = GameState::Start;
    RunView run;
    // The panels shown in this state, drawn in this order.
    std::optional<StartPanel> start;
    std::optional<HiScorePanel> table;
    std::optional<PausePanel> pause;

    bool operator==(const FrameView& other) const {
        return std::tie(state, run, start, table, pause) ==
               std::tie(other.state, other.run, other.start, other.table, other.pause);
    }
};
