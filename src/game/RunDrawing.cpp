#include "game/RunDrawing.hpp"

#include "core/Palette.hpp"
#include "game/Run.hpp"
#include "gfx/Compositing.hpp"

#include <opencv2/imgproc.hpp>

namespace {
const cv::Scalar GRASS(115, 220, 109);
constexpr int KERB_WIDTH = 20;
// The HUD value sits below and slightly right of its label.
const cv::Point VALUE_OFFSET(10, 45);
} // namespace

RunDrawing::RunDrawing(const cv::Mat& carTexture, cv::Size frameSize)
    : m_background(frameSize, CV_8UC3, cv::Scalar::all(0)),
      m_leftKerbX(frameSize.width / 2 - KERB_WIDTH / 2 - Run::roadWidth / 2),
      m_rightKerbX(frameSize.width / 2 - KERB_WIDTH / 2 + Run::roadWidth / 2),
      m_sprites(carTexture) {
    const int W = frameSize.width;
    // Distance, score and hits on the right; speed and time on the left.
    const cv::Point lengthPos(W - 160, 40), scorePos(W - 160, 130), hitsPos(W - 160, 220);
    const cv::Point speedPos(30, 40), timePos(30, 130);
    m_anchors = {scorePos, speedPos, hitsPos, timePos, lengthPos};
    paintBackdrop();
    paintKerbs();
}

void RunDrawing::paintBackdrop() {
    const int W = m_background.cols;
    const int H = m_background.rows;
    const int roadWidth = Run::roadWidth;
    m_background.setTo(GREY);
    cv::rectangle(m_background, cv::Point(0, 0), cv::Point(W / 2 - roadWidth / 2, H), GRASS,
                  cv::FILLED, cv::LINE_8);
    cv::rectangle(m_background, cv::Point(W / 2 + roadWidth / 2, 0), cv::Point(W, H), GRASS,
                  cv::FILLED, cv::LINE_8);

    const Font labelFont(5, 1.5, 2);
    const char* const labels[5] = {"Score", "Speed", "Hits", "Time", "Km"};
    // Painted in the order the game always painted them: the outlines overlap nowhere, but
    // the same order keeps the same pixels.
    for (const int i : {4, 0, 1, 2, 3}) {
        drawOutlinedText(m_background, labels[i], m_anchors[i].x, m_anchors[i].y, labelFont, BLACK,
                         WHITE);
    }
}

void RunDrawing::paintKerbs() {
    // Whole red and white pairs, long enough that two copies cover the frame at any offset.
    const int stripeLength = Run::stripeLength;
    const int period = 2 * stripeLength;
    m_kerb.create(period * ((m_background.rows * 3 / 4) / period), KERB_WIDTH, m_background.type());
    for (int k = 1; k * stripeLength < m_kerb.rows; k += 2) {
        cv::rectangle(m_kerb, cv::Point(0, (k - 1) * stripeLength),
                      cv::Point(KERB_WIDTH, k * stripeLength), RED, cv::FILLED, cv::LINE_8);
        cv::rectangle(m_kerb, cv::Point(0, k * stripeLength),
                      cv::Point(KERB_WIDTH, (k + 1) * stripeLength), WHITE, cv::FILLED, cv::LINE_8);
    }
}

void RunDrawing::draw(cv::Mat& frame, const RunView& view) {
    // Same size and type every frame, so the copy reuses frame's pixels.
    m_background.copyTo(frame);
    for (const int top : {view.kerbTop, view.kerbTop + m_kerb.rows}) {
        overlay(m_kerb, frame, m_leftKerbX, top);
        overlay(m_kerb, frame, m_rightKerbX, top);
    }
    for (const CarView& car : view.traffic) {
        m_sprites.draw(frame, car);
    }
    drawHud(frame, view.hud);
    m_sprites.draw(frame, view.player);
    m_sprites.forgetUnused();
    if (view.shake != 0) {
        frame.copyTo(m_shakeFrame);
        // Shifts the picture sideways; the uncovered columns keep their content.
        overlay(m_shakeFrame, frame, view.shake, 0);
    }
}

void RunDrawing::drawHud(cv::Mat& frame, const HudView& hud) {
    const std::array<std::string, 5> texts = hud.texts();
    for (size_t i = 0; i < m_anchors.size(); ++i) {
        const cv::Point at = m_anchors[i] + VALUE_OFFSET;
        m_hudStamps[i].draw(frame, texts[i], at.x, at.y, m_hudFont, YELLOW);
    }
}
