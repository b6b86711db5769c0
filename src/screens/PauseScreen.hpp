#pragma once
// The blinking "PAUSED" panel over the blurred, frozen run; its hint line follows the steering.

#include "gfx/Font.hpp"
#include "gfx/FrameCache.hpp"
#include "screens/PausePanel.hpp"
#include "screens/Screen.hpp"

#include <string>

class PauseScreen : public Screen {
public:
    explicit PauseScreen(Resources* resources);

    bool enter(int64_t nowMicros) override;
    void update(int shift, int64_t nowMicros) override;
    void draw(cv::Mat& image) override;

    // Whether the panel is shown now, and where its hint is.
    PausePanel panel() const;
    // The blurred frame, and over it the panel with its hint while the panel is shown.
    void drawPanel(cv::Mat& frame, const PausePanel& panel);

    static constexpr const char* hint = "Press [SPACE] to continue..";

private:
    void drawHint(cv::Mat& frame, const cv::Point& corner, const PausePanel& panel) const;

    Font font; // the hint's style, once draw has painted the title
    int hintWidth = 0;
    int64_t nextToggle = 0;
    int64_t toggleInterval = 0;
    bool visible = false;
    int hintX = 0;
    FrameCache backdropCache; // the last frozen frame and its blur
};
