#pragma once
// The start screen: a short track with the garage at its left end and the start line at
// its right end. Steering drives the gold marker car: past the start line starts a run,
// into the garage quits.

#include "gfx/Font.hpp"
#include "gfx/FrameCache.hpp"
#include "screens/Screen.hpp"
#include "screens/StartPanel.hpp"

#include <string>

class Resources;

enum class StartChoice { None = 0, Start = 1, Quit = 2 };

class StartScreen : public Screen {
public:
    // resources holds the textures of the marker car, the garage and the start line.
    explicit StartScreen(Resources* resources);

    void update(int shift, int64_t nowMicros) override;

    // Back to no choice with the car in the middle of the track.
    void resetSelection();
    // Shows a message along the frame's bottom edge, below the panel and the player's car,
    // from now until noticeMicros have passed.
    void showNotice(const std::string& text, int64_t nowMicros);

    // Where the marker car and the notice stand now.
    const StartPanel& panel() const { return m_panel; }
    // The grey blur of the frame behind the panel, the panel, the track's ends, the marker
    // car, the hints and the notice.
    void drawPanel(cv::Mat& frame, const StartPanel& panel);
    StartChoice choice() const { return m_choice; }

    static constexpr int64_t noticeMicros = 5000000;

private:
    bool enter(int64_t nowMicros) override;
    void draw(cv::Mat& image) override;
    void drawBackground(cv::Mat& frame);
    void drawHint(cv::Mat& frame, const cv::Point& corner, const StartPanel& panel) const;
    void drawNotice(cv::Mat& frame, const std::string& notice) const;

    Resources* m_resources; // not owned; the garage texture is keyed in place
    const Font m_titleFont{3, 1.9, 5};
    const Font m_hintFont{1, 1.0, 1};
    const Font m_noticeFont{0, 0.45, 1};
    cv::Mat m_carImage;
    cv::Mat m_carMask;
    cv::Mat m_garageMask;
    StartPanel m_panel;
    StartChoice m_choice = StartChoice::None;
    int64_t m_noticeUntil = 0;
    FrameCache m_backdropCache; // the last frame behind the panel and its grey blur
    cv::Mat m_grey;
};
