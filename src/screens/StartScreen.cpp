#include "screens/StartScreen.hpp"

#include "gfx/Compositing.hpp"
#include "core/Palette.hpp"
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

StartScreen::StartScreen(Resources* shared) : Screen(shared, 400, 210) {
    titleFont.set(3, 1.9, 5);
    hintFont.set(1, 1.0, 1);
    titleWidth = titleFont.textWidth("START");
    noticeFont.set(0, 0.45, 1);
}

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
    choice = StartChoice::None;
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
        choice = StartChoice::Start;
    } else if (carX < leftLimit) {
        choice = StartChoice::Quit;
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

    drawOutlinedText(image, "START", image.cols / 2 - titleWidth / 2, titleFont.height + 15,
                     titleFont, WHITE, TITLE_GREEN);
}

bool StartScreen::drawBackground(cv::Mat& frame, int /*x*/, int /*y*/) {
    backdropCache.apply(frame, [this](cv::Mat& image) { blurFrameGrey(image, grey); });
    return true;
}

void StartScreen::drawHint(cv::Mat& frame, int px, int py) {
    const cv::Mat* textures = resources->textures.get();
    overlayCentred(textures[TextureStartLine], frame, px + rightLimit, py + carY);
    overlayCentred(carImage, frame, px + carX, py + carY, carMask);
    overlayCentred(textures[TextureGarage], frame, px + leftLimit, py + carY, garageMask);

    drawText(frame, "Sway your head to select or ..", px + 10, py + height - 10 - hintFont.height,
             hintFont, BLACK, cv::LINE_8);
    drawText(frame, "..you can press [ESC] or [ENTER] too.", px + 25, py + height - 8, hintFont,
             BLACK, cv::LINE_8);
    drawNotice(frame);
}

void StartScreen::addLook(Fingerprint& look) const {
    look.add(x).add(y).add(carX).add(carY).add(leftLimit).add(rightLimit).add(notice);
}

void StartScreen::drawNotice(cv::Mat& frame) const {
    // The last line's baseline leaves room below for the descenders; each further line
    // stands above the one after it.
    const int margin = 10;
    const std::vector<std::string> lines = wrapWords(notice, noticeFont, frame.cols - 2 * margin);
    int baseline = frame.rows - 5 - static_cast<int>(lines.size() - 1) * (noticeFont.height + 6);
    for (const std::string& line : lines) {
        const int left = std::max(margin, frame.cols / 2 - noticeFont.textWidth(line) / 2);
        drawOutlinedText(frame, line, left, baseline, noticeFont, BLACK, YELLOW);
        baseline += noticeFont.height + 6;
    }
}
