#pragma once
// The picture of a run, drawn from its view and nothing else that changes: the backdrop of
// grass, road and the HUD's labels, painted once; the kerbs; the traffic; the HUD's figures;
// the player's car; and the sideways shake of the whole picture after a hit.

#include "game/CarSprites.hpp"
#include "game/RunView.hpp"
#include "gfx/Font.hpp"
#include "gfx/TextStamp.hpp"

#include <array>
#include <opencv2/core.hpp>

class RunDrawing {
public:
    // Paints the backdrop and the kerbs for frames of the given size.
    RunDrawing(const cv::Mat& carTexture, cv::Size frameSize);
    virtual ~RunDrawing() = default;

    // Draws the run over the whole frame, which must have the given size.
    void draw(cv::Mat& frame, const RunView& view);

private:
    void paintBackdrop();
    void paintKerbs();
    void drawHud(cv::Mat& frame, const HudView& hud);

    cv::Mat m_background;
    cv::Mat m_kerb; // one kerb, red and white stripes, long enough for two to cover the frame
    int m_leftKerbX;
    int m_rightKerbX;
    CarSprites m_sprites;
    const Font m_hudFont{5, 2.5, 3};
    // The HUD's figures in the order of their anchors: score, speed, hits, time, distance.
    std::array<cv::Point, 5> m_anchors;
    std::array<TextStamp, 5> m_hudStamps;
    cv::Mat m_shakeFrame; // the unshaken picture during a shake, kept so no frame allocates
};
