#include "gfx/TextStamp.hpp"

#include <opencv2/imgproc.hpp>

cv::Rect TextStamp::draw(cv::Mat& image, const std::string& text, int x, int y, const Font& font,
                         const cv::Scalar& colour) {
    if (!sameText(text, font)) {
        makeMask(text, font);
    }
    const cv::Rect placed(cv::Point(x, y) + m_topLeft, m_mask.size());
    const cv::Rect whole(0, 0, image.cols, image.rows);
    if ((placed & whole) != placed) {
        // The library clips the strokes before drawing them, which moves some pixels along
        // the edge; a text that runs off the image is drawn as the library draws it.
        drawText(image, text, x, y, font, colour, cv::LINE_8);
        return whole;
    }
    image(placed).setTo(colour, m_mask);
    return placed;
}

bool TextStamp::sameText(const std::string& text, const Font& font) const {
    return m_hasMask && text == m_lastText && font.face == m_lastFont.face &&
           font.scale == m_lastFont.scale && font.thickness == m_lastFont.thickness;
}

void TextStamp::makeMask(const std::string& text, const Font& font) {
    // The library's text box leaves out the strokes' thickness and some glyphs' overhang;
    // a margin of the text's height on every side holds them all, and the mask is then cut
    // to the pixels actually drawn.
    int baseline = 0;
    const cv::Size box = cv::getTextSize(text, font.face, font.scale, font.thickness, &baseline);
    const int margin = box.height + font.thickness + 2;
    cv::Mat scratch(box.height + baseline + 2 * margin, box.width + 2 * margin, CV_8UC1,
                    cv::Scalar(0));
    const cv::Point origin(margin, margin + box.height);
    drawText(scratch, text, origin.x, origin.y, font, cv::Scalar(255), cv::LINE_8);
    const cv::Rect covered = cv::boundingRect(scratch);
    m_mask = scratch(covered).clone();
    m_topLeft = covered.tl() - origin;
    m_lastText = text;
    m_lastFont = font;
    m_hasMask = true;
}
