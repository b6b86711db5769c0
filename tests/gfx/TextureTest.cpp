// The committed textures keep the key-colour rules that compositing relies on.

#include "gfx/Palette.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <string>

namespace {

cv::Mat loadTexture(const std::string& name) {
    return cv::imread(std::string(DRAVOLT_SOURCE_DIR) + "/graphics/" + name, cv::IMREAD_COLOR);
}

bool same(const cv::Vec3b& p, const cv::Scalar& colour) {
    return p[0] == colour[0] && p[1] == colour[1] && p[2] == colour[2];
}

int count(const cv::Mat& image, const cv::Scalar& colour) {
    int n = 0;
    for (auto it = image.begin<cv::Vec3b>(); it != image.end<cv::Vec3b>(); ++it) {
        n += same(*it, colour);
    }
    return n;
}

// A pixel close to a key colour in every channel without being it is a blend: it would be
// drawn as it is where the key colour is replaced, e.g. as a pink fringe on the road.
void expectNoNearKeyColours(const cv::Mat& image, const std::string& name) {
    int blends = 0;
    for (int r = 0; r < image.rows; ++r) {
        for (int c = 0; c < image.cols; ++c) {
            const cv::Vec3b p = image.at<cv::Vec3b>(r, c);
            for (const cv::Scalar& key : {MAGENTA, RED, BLUE}) {
                const bool near = std::abs(p[0] - key[0]) <= 40 && std::abs(p[1] - key[1]) <= 40 &&
                                  std::abs(p[2] - key[2]) <= 40;
                if (near && !same(p, key) && ++blends <= 3) {
                    ADD_FAILURE() << name << " (" << c << ", " << r << ") is " << p;
                }
            }
        }
    }
    EXPECT_EQ(blends, 0) << name;
}

bool borderIs(const cv::Mat& image, const cv::Scalar& colour) {
    for (int c = 0; c < image.cols; ++c) {
        if (!same(image.at<cv::Vec3b>(0, c), colour) ||
            !same(image.at<cv::Vec3b>(image.rows - 1, c), colour)) {
            return false;
        }
    }
    for (int r = 0; r < image.rows; ++r) {
        if (!same(image.at<cv::Vec3b>(r, 0), colour) ||
            !same(image.at<cv::Vec3b>(r, image.cols - 1), colour)) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(Textures, SizesFitTheRoadAndTheStartScreen) {
    const cv::Mat car = loadTexture("car.png");
    const cv::Mat garage = loadTexture("garage.png");
    const cv::Mat startLine = loadTexture("startLine.png");
    EXPECT_TRUE(car.cols >= 40 && car.cols <= 60 && car.rows >= 90 && car.rows <= 100);
    EXPECT_TRUE(garage.cols >= 60 && garage.cols <= 80 && garage.rows >= 60 && garage.rows <= 80);
    EXPECT_TRUE(startLine.cols >= 15 && startLine.cols <= 25 && startLine.rows >= 50 &&
                startLine.rows <= 70);
    // The garage stands on a transparent surrounding.
    EXPECT_TRUE(same(garage.at<cv::Vec3b>(0, 0), MAGENTA));
    EXPECT_TRUE(same(garage.at<cv::Vec3b>(0, garage.cols - 1), MAGENTA));
}

TEST(Textures, CarCarriesEveryKeyColourAndMore) {
    const cv::Mat car = loadTexture("car.png");
    ASSERT_FALSE(car.empty());
    EXPECT_GT(count(car, MAGENTA), 0);
    EXPECT_GT(count(car, RED), car.total() / 4); // the body is the bulk of the car
    EXPECT_GT(count(car, BLUE), 0);
    const int others =
        static_cast<int>(car.total()) - count(car, MAGENTA) - count(car, RED) - count(car, BLUE);
    EXPECT_GT(others, 100); // windows, tyres and lights
    // Transparent all round, so no part of the car is cut off at the texture's edge.
    EXPECT_TRUE(borderIs(car, MAGENTA));
}

TEST(Textures, NoBlendNextToAKeyColour) {
    expectNoNearKeyColours(loadTexture("car.png"), "car.png");
    expectNoNearKeyColours(loadTexture("garage.png"), "garage.png");
    expectNoNearKeyColours(loadTexture("startLine.png"), "startLine.png");
}

TEST(Textures, StartLineIsOpaqueBlackAndWhite) {
    const cv::Mat startLine = loadTexture("startLine.png");
    ASSERT_FALSE(startLine.empty());
    EXPECT_EQ(count(startLine, MAGENTA), 0); // pasted without a mask
    EXPECT_EQ(count(startLine, BLACK) + count(startLine, WHITE),
              static_cast<int>(startLine.total()));
    EXPECT_GT(count(startLine, BLACK), static_cast<int>(startLine.total()) / 3);
    EXPECT_GT(count(startLine, WHITE), static_cast<int>(startLine.total()) / 3);
}

TEST(Textures, CarRimIsNeutralSoTheShrunkCarHasNoTintedFringe) {
    // The start screen shrinks the masked car smoothly and pastes it bit by bit; a rim whose
    // channels are equal blends into a plain dark edge there.
    const cv::Mat car = loadTexture("car.png");
    ASSERT_FALSE(car.empty());
    int tinted = 0;
    for (int r = 1; r + 1 < car.rows; ++r) {
        for (int c = 1; c + 1 < car.cols; ++c) {
            const cv::Vec3b p = car.at<cv::Vec3b>(r, c);
            if (same(p, MAGENTA)) {
                continue;
            }
            const bool rim = same(car.at<cv::Vec3b>(r - 1, c), MAGENTA) ||
                             same(car.at<cv::Vec3b>(r + 1, c), MAGENTA) ||
                             same(car.at<cv::Vec3b>(r, c - 1), MAGENTA) ||
                             same(car.at<cv::Vec3b>(r, c + 1), MAGENTA);
            tinted += rim && !(p[0] == p[1] && p[1] == p[2] && p[0] < 100);
        }
    }
    EXPECT_EQ(tinted, 0);
}
