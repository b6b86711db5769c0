#include "screens/Screen.hpp"

#include <opencv2/imgproc.hpp>

namespace {
const int64_t PANEL_SHOWN_MICROS = 600000;
const int64_t PANEL_HIDDEN_MICROS = 200000;
} // namespace

Screen::Screen(int width, int height)
    : m_width(width), m_height(height), m_canvas(height, width, CV_8UC3) {}

bool Screen::init(int64_t now) {
    if (!enter(now)) {
        return false;
    }
    draw(m_canvas);
    return true;
}

void Screen::paintPanel(cv::Mat& image, const cv::Scalar& fill, const cv::Scalar& border,
                        int borderThickness) const {
    const cv::Point topLeft(0, 0), bottomRight(m_width, m_height);
    cv::rectangle(image, topLeft, bottomRight, fill, cv::FILLED, cv::LINE_8);
    cv::rectangle(image, topLeft, bottomRight, border, borderThickness, cv::LINE_8);
}

void Screen::blurFrame(cv::Mat& frame) {
    cv::GaussianBlur(frame, frame, cv::Size(0, 0), 3.1, 0, cv::BORDER_DEFAULT);
}

void Screen::blurFrameGrey(cv::Mat& frame, cv::Mat& grey) {
    blurFrame(frame);
    // Through a separate one-channel image, so that the frame keeps its buffer (a region
    // view of it stays valid) while its bytes become the grey value three times over.
    cv::cvtColor(frame, grey, cv::COLOR_RGB2GRAY);
    cv::cvtColor(grey, frame, cv::COLOR_GRAY2RGB);
}

cv::Point Screen::corner(const cv::Mat& frame, int panelX, int panelY) {
    return cv::Point(frame.cols / 2 + panelX, frame.rows / 2 + panelY);
}

Blink Screen::panelBlink() {
    return Blink(PANEL_SHOWN_MICROS, PANEL_HIDDEN_MICROS, false);
}
