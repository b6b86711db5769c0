#include "gfx/Compositing.hpp"
#include "core/Palette.hpp"

#include <gtest/gtest.h>

namespace {

// Noise: neighbours differ, and no pixel is the background (7, 8, 9).
cv::Mat noise(int rows, int cols) {
    cv::Mat image(rows, cols, CV_8UC3);
    cv::randu(image, 10, 250);
    return image;
}

// Pastes texture at (x, y) into a rows x cols view of a larger frame: the part of the texture
// inside the view lands there, and nothing outside the view changes.
void expectPaste(const cv::Mat& texture, int rows, int cols, int x, int y) {
    cv::Mat frame(rows + 2, cols + 2, CV_8UC3, cv::Scalar(7, 8, 9));
    cv::Mat expected = frame.clone();
    cv::Mat view(frame, cv::Rect(1, 1, cols, rows));
    overlay(texture, view, x, y);
    const cv::Rect inside = cv::Rect(x, y, texture.cols, texture.rows) & cv::Rect(0, 0, cols, rows);
    if (!inside.empty())
        texture(inside - cv::Point(x, y)).copyTo(expected(inside + cv::Point(1, 1)));
    EXPECT_EQ(cv::norm(frame, expected, cv::NORM_INF), 0) << "paste at " << x << ", " << y;
}

} // namespace

TEST(Overlay, OpaquePasteIsCutAtEveryEdge) {
    // A 12 x 16 texture on 30 x 40: wholly outside each side (also at exactly the width or
    // height), inside, partly off each edge and corner.
    const int at[][2] = {{-16, 5}, {5, -12}, {40, 5}, {5, 30},  {-99, 99}, {0, 0},     {24, 18},
                         {25, 19}, {-5, 6},  {30, 6}, {10, -7}, {10, 25},  {-15, -11}, {39, 29}};
    for (const auto& [x, y] : at)
        expectPaste(noise(12, 16), 30, 40, x, y);
    expectPaste(noise(50, 60), 30, 40, -10, -10);
    // The kerb strip runs past the frame at both ends.
    expectPaste(noise(420, 20), 600, 800, 190, 390);
    expectPaste(noise(420, 20), 600, 800, 590, -30);
    cv::Mat frame(4, 4, CV_8UC3);
    EXPECT_THROW(overlay(cv::Mat(2, 2, CV_8UC4), frame, 0, 0), cv::Exception); // not a no-op
}

TEST(Recolour, ExactBodyAndShadeOnlyWithClampedComponents) {
    const cv::Mat keys = (cv::Mat_<cv::Vec3b>(1, 4) << cv::Vec3b(0, 0, 255), cv::Vec3b(255, 0, 0),
                          cv::Vec3b(0, 0, 254), cv::Vec3b(254, 0, 0));
    // Painting the body BLUE must not then turn it into the shade; components are truncated
    // and held at the byte range's ends rather than wrapped.
    const cv::Scalar colours[] = {{20, 20, 255}, BLUE, {20.9, 300, -5}};
    const cv::Vec3b results[][2] = {
        {{20, 20, 255}, {0, 0, 155}}, {{255, 0, 0}, {155, 0, 0}}, {{20, 255, 0}, {0, 200, 0}}};
    for (int i = 0; i < 3; ++i) {
        cv::Mat image = keys.clone();
        recolour(image, colours[i]);
        EXPECT_EQ(image.at<cv::Vec3b>(0, 0), results[i][0]);
        EXPECT_EQ(image.at<cv::Vec3b>(0, 1), results[i][1]);
        EXPECT_EQ(cv::norm(image.colRange(2, 4), keys.colRange(2, 4), cv::NORM_INF), 0);
    }
}
