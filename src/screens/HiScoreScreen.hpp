#pragma once
// The high-score table as a panel: at the top of the start screen, or centred over the greyed
// frame for name entry after a ranking run, where ENTER confirms the name. The screen only
// shows the table; the game saves the confirmed record.

#include "gfx/Font.hpp"
#include "gfx/FrameCache.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "screens/HiScorePanel.hpp"
#include "screens/Screen.hpp"

#include <string>

class HiScore;

class HiScoreScreen : public Screen {
public:
    // hiScore is the table shown, which the screen never changes.
    HiScoreScreen(Resources* resources, const HiScore* hiScore);

    bool enter(int64_t nowMicros) override;
    void update(int shift, int64_t nowMicros) override;
    void draw(cv::Mat& image) override;

    // Proposes a finished run at the given time; true when it ranks and name entry has begun.
    bool offer(const HiScoreEntry& entry, int64_t nowMicros);
    // A raw key during name entry; true when consumed. After ENTER the panel rests at the top
    // again, confirmed is set and pending holds the record with its name.
    bool handleKey(int key);

    // The table, and during name entry the pending record as typed so far.
    HiScorePanel panel() const;
    // The panel with its rows; during name entry over the frame's grey blur, with the banner.
    void drawPanel(cv::Mat& frame, const HiScorePanel& panel);

    HiScoreMode mode() const { return currentMode; }
    // The record of the last name entry, with the name typed.
    const HiScoreEntry& record() const { return pending; }

private:
    void drawBackground(cv::Mat& frame, const HiScorePanel& panel);
    void drawHint(cv::Mat& frame, const cv::Point& corner, const HiScorePanel& panel);
    // Table shown: the panel rests above the start screen, near the window's top edge.
    void restAtTop();
    // One table row: five texts at the column positions starting at c0, on baseline y.
    void drawRow(cv::Mat& frame, int c0, int baseline, const HiScoreEntry& entry,
                 const std::string& name, const Font& font, const cv::Scalar& colour) const;
    // "NEW RECORD", centred near the frame's top edge; drawBanner goes through the cache.
    void paintBanner(cv::Mat& frame) const;
    void drawBanner(cv::Mat& frame);
    // The smallest frame region that drawing the banner can change, found once per frame size.
    cv::Rect bannerRegion(const cv::Size& frameSize);

    const HiScore* hiScore; // not owned
    const Font topFont{4, 0.7, 1};
    const Font rowFont{0, 0.55, 1};
    const Font bannerFont{4, 3.3, 9};
    std::string nameBuffer; // the name typed so far; editing appends and deletes at the end
    std::string typedName;
    int pendingRank = -1;
    HiScoreEntry pending;
    int64_t nextToggle = 0;
    int64_t toggleInterval = 0;
    bool cursorVisible = false;
    HiScoreMode currentMode = HiScoreMode::Table;
    FrameCache backdropCache; // the last frame behind name entry and its grey blur
    cv::Mat grey;
    FrameCache bannerCache; // the banner's region before and after the banner was drawn
    cv::Size bannerFrameSize;
    cv::Rect bannerRect;
};
