#include "gfx/TextStamp.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {
cv::Mat noise() {
    cv::Mat image(120, 200, CV_8UC3);
    cv::RNG(7).fill(image, cv::RNG::UNIFORM, 0, 256);
    return image;
}
} // namespace

// One stamp goes through texts that change, fonts with thick strokes and descenders, and
// places where the text runs off each edge; every picture is the one drawText makes.
TEST(TextStamp, GivesTheLibrarysPixelsWhereverAndWhateverItDraws) {
    // Each font differs from the one before in one of face, scale and thickness.
    const Font fonts[] = {Font(5, 2.5, 3), Font(5, 2.0, 3), Font(5, 2.0, 1), Font(4, 2.0, 1),
                          Font(0, 0.55, 1)};
    const std::string texts[] = {"60.0", "59.9", "gjpqy", "", "1.05", "W"};
    const cv::Point places[] = {{20, 80}, {-15, 60}, {150, 70}, {30, 15}, {40, 130}};
    TextStamp stamp;
    auto check = [&](const Font& font, const std::string& text) {
        for (const cv::Point& at : places) {
            cv::Mat stamped = noise(), drawn = noise();
            stamp.draw(stamped, text, at.x, at.y, font, cv::Scalar(0, 255, 255));
            drawText(drawn, text, at.x, at.y, font, cv::Scalar(0, 255, 255), cv::LINE_8);
            EXPECT_EQ(cv::norm(stamped, drawn, cv::NORM_INF), 0)
                << '"' << text << "\" at " << at << " scale " << font.scale;
        }
    };
    // The text changes under the same font, then the font under the same text.
    for (const Font& font : fonts)
        for (const std::string& text : texts)
            check(font, text);
    for (const std::string& text : texts)
        for (const Font& font : fonts)
            check(font, text);
}
