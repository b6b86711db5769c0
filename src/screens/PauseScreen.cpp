#include "screens/PauseScreen.hpp"

#include "core/Palette.hpp"
#include "gfx/Compositing.hpp"

#include <opencv2/imgproc.hpp>

namespace {
const cv::Scalar PANEL_FILL(239, 150, 137);
const cv::Scalar PANEL_BORDER(160, 39, 22);
const int64_t SHOWN_MICROS = 600000;
const int64_t HIDDEN_MICROS = 200000;
const int HINT_MARGIN = 10;
} // namespace

PauseScreen::PauseScreen(Resources* shared) : Screen(shared, 500, 130) {}

bool PauseScreen::enter(int64_t now) {
    toggleInterval = 0;
    nextToggle = now;
    return true;
}

void PauseScreen::update(int shift, int64_t now) {
    if (now >= nextToggle) {
        visible = !visible;
        toggleInterval = visible ? SHOWN_MICROS : HIDDEN_MICROS;
        // A phase runs its full length from the moment its start was noticed; a late frame
        // never shortens it to catch up.
        nextToggle = now + toggleInterval;
    }

    hintX += shift;
    if (hintX < HINT_MARGIN) {
        hintX = HINT_MARGIN;
    }
    // Checked second, so the right margin wins for a hint too wide for both.
    if (hintX + hintWidth > width - HINT_MARGIN) {
        hintX = width - hintWidth - HINT_MARGIN;
    }
}

void PauseScreen::draw(cv::Mat& image) {
    const cv::Point topLeft(0, 0), bottomRight(width, height);
    cv::rectangle(image, topLeft, bottomRight, PANEL_FILL, cv::FILLED, cv::LINE_8);
    cv::rectangle(image, topLeft, bottomRight, PANEL_BORDER, 7, cv::LINE_8);

    font.set(5, 4.8, 10);
    const int titleWidth = font.textWidth("PAUSED");
    drawOutlinedText(image, "PAUSED", image.cols / 2 - titleWidth / 2,
                     font.height / 2 + image.rows / 2, font, BLACK, WHITE);

    // The font keeps the hint style from here on.
    font.set(1, 1.0, 1);
    hintWidth = font.textWidth(hint);
    hintX = image.cols / 2 - hintWidth / 2;
}

PausePanel PauseScreen::panel() const {
    return {x, y, visible, hintX};
}

void PauseScreen::drawPanel(cv::Mat& frame, const PausePanel& panel) {
    // The blur never blinks, only the panel does.
    backdropCache.apply(frame, [](cv::Mat& image) { blurFrame(image); });
    if (panel.visible) {
        const cv::Point at = corner(frame, panel.x, panel.y);
        overlay(canvas, frame, at.x, at.y);
        drawHint(frame, at, panel);
    }
}

void PauseScreen::drawHint(cv::Mat& frame, const cv::Point& at, const PausePanel& panel) const {
    drawText(frame, hint, at.x + panel.hintX, at.y + height - 8, font, WHITE, cv::LINE_8);
}
