#pragma once
// The high-score table as a panel: at the top of the start screen (mode 0), or centred over
// the greyed frame for name entry after a ranking run (mode 1), where ENTER inserts the
// record and saves the file.

#include "gfx/Font.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "screens/Screen.hpp"

#include <sstream>
#include <string>

class HiScore;

class HiScoreScreen : public Screen {
public:
    HiScoreScreen(Resources* resources, HiScore* hiScore);

    bool enter() override;
    void update(int shift, int64_t nowMicros) override;
    void draw(cv::Mat& image) override;
    bool drawBackground(cv::Mat& frame, int x, int y) override;
    void drawHint(cv::Mat& frame, int x, int y) override;

    // Proposes a finished run; true when it ranks and name entry has begun.
    bool offer(const HiScoreEntry& entry);
    // A raw key during name entry; true when consumed.
    bool handleKey(int key);

    HiScore* hiScore; // not owned
    Font topFont;
    Font rowFont;
    std::ostringstream nameBuffer;
    bool confirmed = false;
    std::string typedName;
    int pendingRank = -1;
    HiScoreEntry pending;
    int64_t nextToggle = 0;
    int64_t toggleInterval = 0;
    bool cursorVisible = false;
    int mode = 0; // 0 table shown, 1 name entry
};
