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

StartScreen::StartScreen(Resources* shared) : Screen(shared, 400, 210) {}

bool StartScreen::enter(int64_t /*nowMicros*/) {
    cv::Mat* textures = resources->textures.get();

    carImage = textures[TextureCar].clone();
    carMask = carImage.clone();
    makeMask(carImage, carMask);
    // A quarter turn clockwise: the marker car drives to the right along the track.
    for (cv::Mat* image : {&carImage, &carMask}) {
        cv::transpose(*image, *image);
        cv::flip(*image, *image, 1);
    }
    recolour(carImage, GOLD);
    cv::resize(carImage, carImage, cv::Size(), 0.6, 0.6, cv::INTER_CUBIC);
    cv::resize(carMask, carMask, cv::Size(), 0.6, 0.6, cv::INTER_CUBIC);

    // The garage texture is keyed in place: nothing but this screen draws it.
    garageMask = textures[TextureGarage].clone();
    makeMask(textures[TextureGarage], garageMask);

    resetSelection();
    y = 10; // below the frame's centre, leaving room for the high-score table above
    return true;
}

void StartScreen::resetSelection() {
    chosen = StartChoice::None;
    carX = width / 2;
    carY = height / 2 + 10;
    leftLimit = 20;
    rightLimit = width - 20;
}

void StartScreen::showNotice(const std::string& text, int64_t now) {
    notice = text;
    noticeUntil = now + noticeMicros;
}

void StartScreen::update(int shift, int64_t now) {
    if (now >= noticeUntil) {
        notice.clear();
    }
    // Not clamped, and a choice once made stays: the game acts on it right away.
    carX += shift;
    if (carX > rightLimit) {
        chosen = StartChoice::Start;
    } else if (carX < leftLimit) {
        chosen = StartChoice::Quit;
    }
}

void StartScreen::draw(cv::Mat& image) {
    const cv::Point topLeft(0, 0), bottomRight(width, height);
    cv::rectangle(image, topLeft, bottomRight, PANEL_GREEN, cv::FILLED, cv::LINE_8);
    cv::rectangle(image, topLeft, bottomRight, PANEL_BORDER, 7, cv::LINE_8);

    const int top = carY - TRACK_HALF_WIDTH, bottom = carY + TRACK_HALF_WIDTH;
    cv::rectangle(image, cv::Point(leftLimit, top), cv::Point(rightLimit, bottom), SILVER,
                  cv::FILLED, cv::LINE_8);
    cv::line(image, cv::Point(leftLimit, bottom), cv::Point(rightLimit, bottom), WHITE, 2,
             cv::LINE_8);
    cv::line(image, cv::Point(leftLimit, top), cv::Point(rightLimit, top), WHITE, 2, cv::LINE_8);

    drawOutlinedText(image, "START", image.cols / 2 - titleFont.textWidth("START") / 2,
                     titleFont.height + 15, titleFont, WHITE, TITLE_GREEN);
}

StartPanel StartScreen::panel() const {
    return {x, y, carX, carY, leftLimit, rightLimit, notice};
}

void StartScreen::drawPanel(cv::Mat& frame, const StartPanel& panel) {
    const cv::Point at = corner(frame, panel.x, panel.y);
    drawBackground(frame);
    overlay(canvas, frame, at.x, at.y);
    drawHint(frame, at, panel);
}

void StartScreen::drawBackground(cv::Mat& frame) {
    backdropCache.apply(frame, [this](cv::Mat& image) { blurFrameGrey(image, grey); });
}

void StartScreen::drawHint(cv::Mat& frame, const cv::Point& at, const StartPanel& panel) const {
    const cv::Mat* textures = resources->textures.get();
    overlayCentred(textures[TextureStartLine], frame, at.x + panel.rightLimit, at.y + panel.carY);
    overlayCentred(carImage, frame, at.x + panel.carX, at.y + panel.carY, carMask);
    overlayCentred(textures[TextureGarage], frame, at.x + panel.leftLimit, at.y + panel.carY,
                   garageMask);

    drawText(frame, "Sway your head to select or ..", at.x + 10,
             at.y + height - 10 - hintFont.height, hintFont, BLACK, cv::LINE_8);
    drawText(frame, "..you can press [ESC] or [ENTER] too.", at.x + 25, at.y + height - 8, hintFont,
             BLACK, cv::LINE_8);
    drawNotice(frame, panel.notice);
}

void StartScreen::drawNotice(cv::Mat& frame, const std::string& text) const {
    // The last line's baseline leaves room below for the descenders; each further line
    // stands above the one after it.
    const int margin = 10;
    const std::vector<std::string> lines = wrapWords(text, noticeFont, frame.cols - 2 * margin);
    int baseline = frame.rows - 5 - static_cast<int>(lines.size() - 1) * (noticeFont.height + 6);
    for (const std::string& line : lines) {
        const int left = std::max(margin, frame.cols / 2 - noticeFont.textWidth(line) / 2);
        drawOutlinedText(frame, line, left, baseline, noticeFont, BLACK, YELLOW);
        baseline += noticeFont.height + 6;
    }
}
