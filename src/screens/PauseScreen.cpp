#include "screens/PauseScreen.hpp"

#include "core/Palette.hpp"
#include "gfx/Compositing.hpp"

#include <opencv2/imgproc.hpp>

namespace {
const cv::Scalar PANEL_FILL(239, 150, 137);
const cv::Scalar PANEL_BORDER(160, 39, 22);
const int HINT_MARGIN = 10;
} // namespace

PauseScreen::PauseScreen() : Screen(500, 130) {
    centre(m_panel);
}

bool PauseScreen::enter(int64_t now) {
    m_blink.switchAt(now);
    return true;
}

void PauseScreen::update(int shift, int64_t now) {
    m_blink.update(now);
    m_panel.visible = m_blink.shown();

    int& hintX = m_panel.hintX;
    hintX += shift;
    if (hintX < HINT_MARGIN) {
        hintX = HINT_MARGIN;
    }
    // Checked second, so the right margin wins for a hint too wide for both.
    if (hintX + m_hintWidth > m_width - HINT_MARGIN) {
        hintX = m_width - m_hintWidth - HINT_MARGIN;
    }
}

void PauseScreen::draw(cv::Mat& image) {
    paintPanel(image, PANEL_FILL, PANEL_BORDER, 7);

    m_font.set(5, 4.8, 10);
    const int titleWidth = m_font.textWidth("PAUSED");
    drawOutlinedText(image, "PAUSED", image.cols / 2 - titleWidth / 2,
                     m_font.height / 2 + image.rows / 2, m_font, BLACK, WHITE);

    // The font keeps the hint style from here on.
    m_font.set(1, 1.0, 1);
    m_hintWidth = m_font.textWidth(hint);
    m_panel.hintX = image.cols / 2 - m_hintWidth / 2;
}

void PauseScreen::drawPanel(cv::Mat& frame, const PausePanel& panel) {
    // The blur never blinks, only the panel does.
    m_backdropCache.apply(frame, [](cv::Mat& image) { blurFrame(image); });
    if (panel.visible) {
        const cv::Point at = corner(frame, panel.x, panel.y);
        overlay(m_canvas, frame, at.x, at.y);
        drawHint(frame, at, panel);
    }
}

void PauseScreen::drawHint(cv::Mat& frame, const cv::Point& at, const PausePanel& panel) const {
    drawText(frame, hint, at.x + panel.hintX, at.y + m_height - 8, m_font, WHITE, cv::LINE_8);
}
