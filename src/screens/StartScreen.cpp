#include "screens/StartScreen.hpp"

#include "core/Palette.hpp"
#include "gfx/Compositing.hpp"
#include "gfx/Resources.hpp"

#include <algorithm>
#include <opencv2/imgproc.hpp>
#include <sstream>
#include <vector>

namespace {
const cv::Scalar PANEL_GREEN(66, 228, 37);
const cv::Scalar PANEL_BORDER(6, 100, 41);
const cv::Scalar TITLE_GREEN(38, 89, 17);
const int TRACK_HALF_WIDTH = 25;

// Words of text gathered into lines no wider than width; a longer word stands alone.
std::vector<std::string> wrapWords(const std::string& text, const Font& font, int width) {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (!lines.empty() && font.textWidth(lines.back() + " " + word) <= width) {
            lines.back() += " " + word;
        } else {
            lines.push_back(word);
        }
    }
    return lines;
}

// Pastes image with its centre on (cx, cy).
void overlayCentred(const cv::Mat& image, cv::Mat& frame, int cx, int cy,
                    const cv::Mat& mask = cv::Mat()) {
    overlay(image, frame, cx - image.cols / 2, cy - image.rows / 2, mask);
}
} // namespace

StartScreen::StartScreen(Resources* resources) : Screen(400, 210), m_resources(resources) {
    centre(m_panel);
}

bool StartScreen::enter(int64_t /*nowMicros*/) {
    cv::Mat* textures = m_resources->textures.get();

    m_carImage = textures[TextureCar].clone();
    m_carMask = m_carImage.clone();
    makeMask(m_carImage, m_carMask);
    // A quarter turn clockwise: the marker car drives to the right along the track.
    for (cv::Mat* image : {&m_carImage, &m_carMask}) {
        cv::transpose(*image, *image);
        cv::flip(*image, *image, 1);
    }
    recolour(m_carImage, GOLD);
    cv::resize(m_carImage, m_carImage, cv::Size(), 0.6, 0.6, cv::INTER_CUBIC);
    cv::resize(m_carMask, m_carMask, cv::Size(), 0.6, 0.6, cv::INTER_CUBIC);

    // The garage texture is keyed in place: nothing but this screen draws it.
    m_garageMask = textures[TextureGarage].clone();
    makeMask(textures[TextureGarage], m_garageMask);

    resetSelection();
    m_panel.y = 10; // below the frame's centre, leaving room for the high-score table above
    return true;
}

void StartScreen::resetSelection() {
    m_choice = StartChoice::None;
    m_panel.carX = m_width / 2;
    m_panel.carY = m_height / 2 + 10;
    m_panel.leftLimit = 20;
    m_panel.rightLimit = m_width - 20;
}

void StartScreen::showNotice(const std::string& text, int64_t now) {
    m_panel.notice = text;
    m_noticeUntil = now + noticeMicros;
}

void StartScreen::update(int shift, int64_t now) {
    if (now >= m_noticeUntil) {
        m_panel.notice.clear();
    }
    // Not clamped, and a choice once made stays: the game acts on it right away.
    m_panel.carX += shift;
    if (m_panel.carX > m_panel.rightLimit) {
        m_choice = StartChoice::Start;
    } else if (m_panel.carX < m_panel.leftLimit) {
        m_choice = StartChoice::Quit;
    }
}

void StartScreen::draw(cv::Mat& image) {
    paintPanel(image, PANEL_GREEN, PANEL_BORDER, 7);

    const int left = m_panel.leftLimit, right = m_panel.rightLimit;
    const int top = m_panel.carY - TRACK_HALF_WIDTH, bottom = m_panel.carY + TRACK_HALF_WIDTH;
    cv::rectangle(image, cv::Point(left, top), cv::Point(right, bottom), SILVER, cv::FILLED,
                  cv::LINE_8);
    cv::line(image, cv::Point(left, bottom), cv::Point(right, bottom), WHITE, 2, cv::LINE_8);
    cv::line(image, cv::Point(left, top), cv::Point(right, top), WHITE, 2, cv::LINE_8);

    drawOutlinedText(image, "START", image.cols / 2 - m_titleFont.textWidth("START") / 2,
                     m_titleFont.height + 15, m_titleFont, WHITE, TITLE_GREEN);
}

void StartScreen::drawPanel(cv::Mat& frame, const StartPanel& panel) {
    const cv::Point at = corner(frame, panel.x, panel.y);
    drawBackground(frame);
    overlay(m_canvas, frame, at.x, at.y);
    drawHint(frame, at, panel);
}

void StartScreen::drawBackground(cv::Mat& frame) {
    m_backdropCache.apply(frame, [this](cv::Mat& image) { blurFrameGrey(image, m_grey); });
}

void StartScreen::drawHint(cv::Mat& frame, const cv::Point& at, const StartPanel& panel) const {
    const cv::Mat* textures = m_resources->textures.get();
    overlayCentred(textures[TextureStartLine], frame, at.x + panel.rightLimit, at.y + panel.carY);
    overlayCentred(m_carImage, frame, at.x + panel.carX, at.y + panel.carY, m_carMask);
    overlayCentred(textures[TextureGarage], frame, at.x + panel.leftLimit, at.y + panel.carY,
                   m_garageMask);

    drawText(frame, "Sway your head to select or ..", at.x + 10,
             at.y + m_height - 10 - m_hintFont.height, m_hintFont, BLACK, cv::LINE_8);
    drawText(frame, "..you can press [ESC] or [ENTER] too.", at.x + 25, at.y + m_height - 8,
             m_hintFont, BLACK, cv::LINE_8);
    drawNotice(frame, panel.notice);
}

void StartScreen::drawNotice(cv::Mat& frame, const std::string& text) const {
    // The last line's baseline leaves room below for the descenders; each further line
    // stands above the one after it.
    const int margin = 10;
    const std::vector<std::string> lines = wrapWords(text, m_noticeFont, frame.cols - 2 * margin);
    int baseline = frame.rows - 5 - static_cast<int>(lines.size() - 1) * (m_noticeFont.height + 6);
    for (const std::string& line : lines) {
        const int left = std::max(margin, frame.cols / 2 - m_noticeFont.textWidth(line) / 2);
        drawOutlinedText(frame, line, left, baseline, m_noticeFont, BLACK, YELLOW);
        baseline += m_noticeFont.height + 6;
    }
}
