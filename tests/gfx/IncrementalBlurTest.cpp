#include "gfx/IncrementalBlur.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {
cv::Mat randomImage(cv::Size size, int type, uint64_t seed) {
    cv::Mat image(size, type);
    cv::RNG(seed).fill(image, cv::RNG::UNIFORM, 0, 256);
    return image;
}

bool equalsLibraryBlur(const cv::Mat& blurred, const cv::Mat& image) {
    cv::Mat expected;
    cv::GaussianBlur(image, expected, cv::Size(0, 0), IncrementalBlur::SIGMA);
    return cv::norm(blurred, expected, cv::NORM_INF) == 0;
}
} // namespace

TEST(IncrementalBlur, AChangedPixelRenewsEveryPixelItReachesANewSizeEverything) {
    IncrementalBlur blur;
    cv::Mat frame = randomImage({100, 70}, CV_8UC3, 7);
    blur.apply(frame);
    // The corners, both sides of a tile edge (tiles are 32 pixels wide), and the same pixel
    // again; one byte at a time, so a stale neighbour shows.
    const cv::Point pixels[] = {{0, 0}, {99, 69}, {31, 20}, {32, 40}, {63, 0}, {64, 69}, {64, 69}};
    for (const cv::Point& pixel : pixels) {
        frame.at<cv::Vec3b>(pixel)[1] ^= 0xFF;
        EXPECT_TRUE(equalsLibraryBlur(blur.apply(frame), frame)) << pixel;
        EXPECT_FALSE(blur.unchanged()) << pixel;
    }
    EXPECT_TRUE(equalsLibraryBlur(blur.apply(frame), frame));
    EXPECT_TRUE(blur.unchanged());
    // A new size starts afresh.
    const cv::Mat turned = randomImage({70, 100}, CV_8UC3, 2);
    EXPECT_TRUE(equalsLibraryBlur(blur.apply(turned), turned));
    EXPECT_FALSE(blur.unchanged());
}
