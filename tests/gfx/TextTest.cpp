#include "core/Palette.hpp"
#include "gfx/Font.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {

cv::Rect paintedArea(const cv::Mat& image) {
    cv::Mat grey;
    cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
    return cv::boundingRect(grey > 0);
}

} // namespace

TEST(DrawText, OutlinedTextIsAnAntiAliasedRimOnEverySideUnderTheText) {
    const Font font(0, 1.0, 2);
    cv::Mat sharp(80, 160, CV_8UC3, BLACK), plain = sharp.clone(), outlined = sharp.clone();
    drawText(sharp, "HUD", 20, 50, font, WHITE, cv::LINE_8);
    drawText(plain, "HUD", 20, 50, font, WHITE, cv::LINE_AA);
    drawOutlinedText(outlined, "HUD", 20, 50, font, RED, WHITE);
    // Upright, as tall as measured, the baseline's left end at the given point; no blending
    // with the plain line type.
    const cv::Rect area = paintedArea(sharp);
    EXPECT_TRUE(area.x >= 20 && area.x <= 26 && std::abs(area.br().y - 52) <= 1 &&
                std::abs(area.height - font.height) <= 2)
        << area;
    EXPECT_EQ(cv::countNonZero((sharp.reshape(1) > 0) & (sharp.reshape(1) < 255)), 0);
    // The text pass comes last: wherever the text covers fully, it shows.
    EXPECT_EQ(cv::countNonZero((plain.reshape(1) == 255) & (outlined.reshape(1) != 255)), 0);
    const cv::Rect inner = paintedArea(plain), outer = paintedArea(outlined);
    EXPECT_EQ(outer, cv::Rect(inner.x - 1, inner.y - 1, inner.width + 2, inner.height + 2));
    // Over black the rim passes give partial reds: they are anti-aliased.
    cv::Mat partialRed;
    cv::inRange(outlined, cv::Scalar(0, 0, 1), cv::Scalar(0, 0, 254), partialRed);
    EXPECT_GT(cv::countNonZero(partialRed), 10);
}
