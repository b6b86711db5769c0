#include "gfx/Font.hpp"

#include <opencv2/imgproc.hpp>

Font::Font() {
    set(0, 1.0, 1);
}

Font::Font(int newFace, double newScale, int newThickness) {
    set(newFace, newScale, newThickness);
}

void Font::set(int newFace, double newScale, int newThickness) {
    face = newFace;
    scale = newScale;
    thickness = newThickness;
    int baseline = 0;
    height = cv::getTextSize("M", face, scale, thickness, &baseline).height;
}

int Font::textWidth(const std::string& text) const {
    int baseline = 0;
    return cv::getTextSize(text, face, scale, thickness, &baseline).width;
}

void drawText(cv::Mat& image, const std::string& text, int x, int y, const Font& font,
              const cv::Scalar& colour, int lineType) {
    cv::putText(image, text, cv::Point(x, y), font.face, font.scale, colour, font.thickness,
                lineType, false);
}

void drawOutlinedText(cv::Mat& image, const std::string& text, int x, int y, const Font& font,
                      const cv::Scalar& outline, const cv::Scalar& colour) {
    drawText(image, text, x + 1, y, font, outline, cv::LINE_AA);
    drawText(image, text, x, y + 1, font, outline, cv::LINE_AA);
    drawText(image, text, x - 1, y, font, outline, cv::LINE_AA);
    drawText(image, text, x, y - 1, font, outline, cv::LINE_AA);
    drawText(image, text, x, y, font, colour, cv::LINE_AA);
}
