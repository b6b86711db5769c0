#pragma once
// One text style of the image library's Hershey fonts, with the measured height of "M".
// Layout code positions text with height and textWidth.

#include <opencv2/core.hpp>
#include <string>

class Font {
public:
    Font();
    Font(int face, double scale, int thickness);
    Font(const Font&) = default;
    Font& operator=(const Font&) = default;
    virtual ~Font() = default;

    // Restyles the font and measures the height of "M" in the new style.
    void set(int face, double scale, int thickness);
    int textWidth(const std::string& text) const;

    int face = 0;
    double scale = 1.0;
    int thickness = 1;
    int height = 0; // measured by set; a direct change of scale or thickness keeps it
};

// One putText with the font's face, scale and thickness; (x, y) is the left end of the baseline.
void drawText(cv::Mat& image, const std::string& text, int x, int y, const Font& font,
              const cv::Scalar& colour, int lineType);

// Four one-pixel offset passes in the outline colour, then the text on top; anti-aliased.
void drawOutlinedText(cv::Mat& image, const std::string& text, int x, int y, const Font& font,
                      const cv::Scalar& outline, const cv::Scalar& colour);
