#pragma once
// The high-score table as a panel: at the top of the start screen, or centred over the greyed
// frame for name entry after a ranking run, where ENTER confirms the name. The screen only
// shows the table it is given; the game saves the confirmed record.

#include "gfx/Blink.hpp"
#include "gfx/Font.hpp"
#include "gfx/FrameCache.hpp"
#include "hiscore/HiScoreEntry.hpp"
#include "screens/HiScorePanel.hpp"
#include "screens/Screen.hpp"

#include <string>

class HiScore;

// What a key did during name entry: nothing (it goes on to the game's other keys), an edit of
// the name, or ENTER, which hands back the record with the name typed.
struct NameEntryKey {
    enum Outcome { NotTaken, Edited, Confirmed };
    Outcome outcome = NotTaken;
    HiScoreEntry record; // the confirmed record
};

class HiScoreScreen : public Screen {
public:
    HiScoreScreen();

    // The cursor's blink during name entry.
    void update(int shift, int64_t nowMicros) override;

    // The table to show and to rank results in: the game's, whenever that changes.
    void showTable(const HiScore& table);
    // Proposes a finished run at the given time; true when it ranks and name entry has begun.
    bool offer(const HiScoreEntry& entry, int64_t nowMicros);
    // A raw key during name entry. After ENTER the panel rests at the top again.
    NameEntryKey handleKey(int key);

    // The table, and during name entry the pending record as typed so far.
    const HiScorePanel& panel() const { return m_panel; }
    // The panel with its rows; during name entry over the frame's grey blur, with the banner.
    void drawPanel(cv::Mat& frame, const HiScorePanel& panel);

private:
    bool enter(int64_t nowMicros) override;
    void draw(cv::Mat& image) override;
    void drawBackground(cv::Mat& frame, const HiScorePanel& panel);
    void drawHint(cv::Mat& frame, const cv::Point& corner, const HiScorePanel& panel);
    // Table shown: the panel rests above the start screen, near the window's top edge.
    void restAtTop();
    // ENTER: the pending record with the name typed, and the panel back at the top.
    NameEntryKey confirm();
    // One table row: five texts at the column positions starting at c0, on baseline y.
    void drawRow(cv::Mat& frame, int c0, int baseline, const HiScoreEntry& entry,
                 const std::string& name, const Font& font, const cv::Scalar& colour) const;
    // "NEW RECORD", centred near the frame's top edge; drawBanner goes through the cache.
    void paintBanner(cv::Mat& frame) const;
    void drawBanner(cv::Mat& frame);
    // The smallest frame region that drawing the banner can change, found once per frame size.
    cv::Rect bannerRegion(const cv::Size& frameSize);

    const Font m_topFont{4, 0.7, 1};
    const Font m_rowFont{0, 0.55, 1};
    const Font m_bannerFont{4, 3.3, 9};
    Blink m_cursor = panelBlink();
    HiScorePanel m_panel;
    FrameCache m_backdropCache; // the last frame behind name entry and its grey blur
    cv::Mat m_grey;
    FrameCache m_bannerCache; // the banner's region before and after the banner was drawn
    cv::Size m_bannerFrameSize;
    cv::Rect m_bannerRect;
};
