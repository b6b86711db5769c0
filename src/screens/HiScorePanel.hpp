#pragma once
// What the high-score screen shows beyond its fixed picture: where the panel stands, the table,
// and during name entry the pending record with the name typed so far and the cursor.

#include "hiscore/HiScore.hpp"
#include "hiscore/HiScoreEntry.hpp"

#include <string>
#include <tuple>

enum class HiScoreMode {
    Table,    // the table rests at the top of the start screen
    NameEntry // centred over the greyed frame, typing the name of a new record
};

struct HiScorePanel {
    int x = 0;
    int y = 0;
    HiScoreMode mode = HiScoreMode::Table;
    HiScore table;
    int pendingRank = -1; // -1: no pending row
    HiScoreEntry pending;
    std::string typedName;
    bool cursorVisible = false;

    bool operator==(const HiScorePanel& other) const {
        return std::tie(x, y, mode, table, pendingRank, pending, typedName, cursorVisible) ==
               std::tie(other.x, other.y, other.mode, other.table, other.pendingRank, other.pending,
                        other.typedName, other.cursorVisible);
    }
};
