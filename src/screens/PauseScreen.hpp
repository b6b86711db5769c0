#pragma once
// The blinking "PAUSED" panel over the blurred, frozen run; its hint line follows the steering.

#include "gfx/Font.hpp"
#include "gfx/FrameCache.hpp"
#include "screens/Screen.hpp"

#include <string>

class PauseScreen : public Screen {
public:
    explicit PauseScreen(Resources* resources);

    bool enter(int64_t nowMicros) override;
    void update(int shift, int64_t nowMicros) override;
    void draw(cv::Mat& image) override;
    bool drawBackground(cv::Mat& frame, int x, int y) override;
    void drawHint(cv::Mat& frame, int x, int y) override;
    void addLook(Fingerprint& look) const override;

    Font font;
    int hintWidth = 0;
    std::string hint{"Press [SPACE] to continue.."};
    int64_t nextToggle = 0;
    int64_t toggleInterval = 0;
    bool visible = false;
    int hintX = 0;

private:
    FrameCache backdropCache; // the last frozen frame and its blur
};
