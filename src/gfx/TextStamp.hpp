#pragma once
// A text of one colour that is drawn many times as it was the last time: the HUD's figures
// change a few times a second and are drawn sixty times. The text is drawn once into a mask
// of the pixels it covers; after that, drawing it sets those pixels to the colour, which is
// what drawing the text with 8-connected lines does, for a fraction of the cost.

#include "gfx/Font.hpp"

#include <opencv2/core.hpp>
#include <string>

class TextStamp {
public:
    // The pixels of drawText(image, text, x, y, font, colour, cv::LINE_8). Only a text wholly
    // inside the image is stamped. Returns a region that holds every pixel it set: the
    // stamp's, or the whole image for a text the library drew.
    cv::Rect draw(cv::Mat& image, const std::string& text, int x, int y, const Font& font,
                  const cv::Scalar& colour);

private:
    bool sameText(const std::string& text, const Font& font) const;
    // Draws text into a mask cut to the pixels it covers.
    void makeMask(const std::string& text, const Font& font);

    std::string m_lastText;
    Font m_lastFont;
    bool m_hasMask = false;
    cv::Mat m_mask;      // 255 where the text covers a pixel, empty for a text of no pixels
    cv::Point m_topLeft; // the mask's top-left corner relative to the text's origin
};
