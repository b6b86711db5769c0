#pragma once
// The blinking "PAUSED" panel over the blurred, frozen run; its hint line follows the steering.

#include "gfx/Blink.hpp"
#include "gfx/Font.hpp"
#include "gfx/FrameCache.hpp"
#include "screens/PausePanel.hpp"
#include "screens/Screen.hpp"

class PauseScreen : public Screen {
public:
    PauseScreen();

    // The blink, which goes on from one pause to the next, and the hint's step.
    void update(int shift, int64_t nowMicros) override;

    // Whether the panel is shown now, and where its hint is.
    const PausePanel& panel() const { return m_panel; }
    // The blurred frame, and over it the panel with its hint while the panel is shown.
    void drawPanel(cv::Mat& frame, const PausePanel& panel);

    static constexpr const char* hint = "Press [SPACE] to continue..";

private:
    bool enter(int64_t nowMicros) override;
    void draw(cv::Mat& image) override;
    void drawHint(cv::Mat& frame, const cv::Point& corner, const PausePanel& panel) const;

    Font m_font; // the hint's style, once draw has painted the title
    int m_hintWidth = 0;
    Blink m_blink = panelBlink();
    PausePanel m_panel;
    FrameCache m_backdropCache; // the last frozen frame and its blur
};
