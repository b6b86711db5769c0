#include "gfx/Font.hpp"
#include "gfx/Palette.hpp"
#include "gfx/TextFormat.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {

cv::Vec3b pixel(const cv::Scalar& colour) {
    return cv::Vec3b(static_cast<uchar>(colour[0]), static_cast<uchar>(colour[1]),
                     static_cast<uchar>(colour[2]));
}

cv::Rect paintedArea(const cv::Mat& image) {
    cv::Mat grey;
    cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
    return cv::boundingRect(grey > 0);
}

} // namespace

TEST(NumberText, IntegersAsAPlainStreamWritesThem) {
    EXPECT_EQ(toString(-5), "-5");
    EXPECT_EQ(toString(0), "0");
    EXPECT_EQ(toString(1234567), "1234567");
}

TEST(NumberText, DoublesInFixedNotationWithTheGivenDigits) {
    EXPECT_EQ(toString(60.0, 1), "60.0");
    EXPECT_EQ(toString(0.5, 2), "0.50");
    EXPECT_EQ(toString(3.14159, 2), "3.14");
    EXPECT_EQ(toString(7.0, 0), "7");
    EXPECT_EQ(toString(1000000.0, 2), "1000000.00");
    EXPECT_EQ(toString(2.675e-3, 3), "0.003");
}

TEST(FontMeasure, EmptyTextIsAsWideAsTheStroke) {
    EXPECT_EQ(Font().textWidth(""), 1);
    EXPECT_EQ(Font(3, 1.9, 5).textWidth(""), 5);
    EXPECT_EQ(Font(5, 4.8, 10).textWidth(""), 10);
}

TEST(FontMeasure, SetRestylesAndMeasuresAgain) {
    Font font;
    EXPECT_EQ(font.face, 0);
    EXPECT_EQ(font.scale, 1.0);
    EXPECT_EQ(font.thickness, 1);
    EXPECT_GT(font.height, 0);
    const int smallHeight = font.height;
    const int smallWidth = font.textWidth("START");

    font.set(3, 1.9, 5);
    EXPECT_EQ(font.face, 3);
    EXPECT_EQ(font.scale, 1.9);
    EXPECT_EQ(font.thickness, 5);
    EXPECT_GT(font.height, smallHeight);
    EXPECT_GT(font.textWidth("START"), smallWidth);

    // A direct change of the scale keeps the earlier measurement until the next set.
    Font copy = font;
    copy.scale = 0.5;
    EXPECT_EQ(copy.height, font.height);
}

TEST(DrawText, BaselineLeftEndAtTheGivenPointAndUpright) {
    cv::Mat image(80, 120, CV_8UC3, BLACK);
    const Font font(0, 1.0, 1);
    drawText(image, "M", 10, 50, font, WHITE, cv::LINE_8);
    const cv::Rect area = paintedArea(image);
    EXPECT_GE(area.x, 10); // the glyph's own side bearing lies between
    EXPECT_LE(area.x, 16);
    EXPECT_NEAR(area.y + area.height - 1, 50, 1);
    EXPECT_NEAR(area.height, font.height, 2);
    // The plain line type draws only the text colour.
    EXPECT_EQ(cv::countNonZero((image.reshape(1) != 0) & (image.reshape(1) != 255)), 0);
}

TEST(OutlinedText, TextOnTopOfARimOnEverySide) {
    const Font font(0, 1.0, 2);
    const cv::Scalar outline(0, 0, 255);
    const cv::Scalar text(255, 255, 0);

    cv::Mat plain(80, 160, CV_8UC3, BLACK);
    drawText(plain, "HUD", 20, 50, font, text, cv::LINE_AA);
    cv::Mat outlined(80, 160, CV_8UC3, BLACK);
    drawOutlinedText(outlined, "HUD", 20, 50, font, outline, text);

    // Every pixel the text covers fully is the text colour: the text pass comes last.
    int covered = 0;
    for (int r = 0; r < plain.rows; ++r) {
        for (int c = 0; c < plain.cols; ++c) {
            if (plain.at<cv::Vec3b>(r, c) == pixel(text)) {
                ++covered;
                EXPECT_EQ(outlined.at<cv::Vec3b>(r, c), pixel(text))
                    << "(" << c << ", " << r << ")";
            }
        }
    }
    EXPECT_GT(covered, 20);

    // The rim reaches one pixel further on every side.
    const cv::Rect inner = paintedArea(plain);
    const cv::Rect outer = paintedArea(outlined);
    EXPECT_EQ(outer.x, inner.x - 1);
    EXPECT_EQ(outer.y, inner.y - 1);
    EXPECT_EQ(outer.br(), inner.br() + cv::Point(1, 1));
}

TEST(OutlinedText, RimAndTextAreBothAntiAliased) {
    cv::Mat image(60, 120, CV_8UC3, BLACK);
    drawOutlinedText(image, "GO", 10, 40, Font(0, 1.0, 1), RED, WHITE);
    // Over black, only the rim passes give partial reds, and only the text pass gives greys.
    int rimBlends = 0;
    int textBlends = 0;
    for (auto it = image.begin<cv::Vec3b>(); it != image.end<cv::Vec3b>(); ++it) {
        const cv::Vec3b p = *it;
        rimBlends += p[0] == 0 && p[1] == 0 && p[2] > 0 && p[2] < 255;
        textBlends += p[0] > 0 && p[0] < 255 && p[0] == p[1];
    }
    EXPECT_GT(rimBlends, 10);
    EXPECT_GT(textBlends, 10);
}
