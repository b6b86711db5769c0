#include "app/Clock.hpp"
#include "game/Car.hpp"
#include "gfx/Compositing.hpp"
#include "gfx/Palette.hpp"

#include <gtest/gtest.h>

namespace {
int64_t testNow = 0;
int64_t testClock() { return testNow; }

// A 6 by 4 car: transparent left column, red body, blue shade in the last row.
cv::Mat smallCar() {
    cv::Mat texture(6, 4, CV_8UC3, RED);
    texture.col(0).setTo(MAGENTA);
    texture.row(5).colRange(1, 4).setTo(BLUE);
    return texture;
}

cv::Vec3b px(const cv::Mat& image, int row, int col) { return image.at<cv::Vec3b>(row, col); }
} // namespace

TEST(CarConstruction, SpritesAreIndependentCopiesOfTheTexture) {
    const cv::Mat texture = smallCar();
    Car first(texture);
    Car second(texture);
    EXPECT_EQ(second.id, first.id + 1);

    recolour(first.sprite, GREEN);
    EXPECT_EQ(px(first.sprite, 1, 1), cv::Vec3b(0, 255, 0));
    EXPECT_EQ(px(second.sprite, 1, 1), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(px(texture, 1, 1), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(px(texture, 1, 0), cv::Vec3b(255, 0, 255)) << "the texture keeps its key colour";
    EXPECT_EQ(px(first.sprite, 1, 0), cv::Vec3b(255, 255, 255));
    EXPECT_EQ(px(first.mask, 1, 0), cv::Vec3b(0, 0, 0));
    EXPECT_EQ(px(first.mask, 1, 1), cv::Vec3b(255, 255, 255));
    EXPECT_EQ(first.width(), 4);
    EXPECT_EQ(first.height(), 6);
}

TEST(CarDrawing, TruncatesTowardZeroAndKeepsTransparentPixels) {
    cv::Mat texture(20, 3, CV_8UC3);
    for (int row = 0; row < texture.rows; ++row) {
        texture.row(row).setTo(cv::Scalar(row * 10 + 1, 50, 60)); // every row told apart
    }
    texture.col(2).setTo(MAGENTA);
    Car car(texture);
    car.x = 5;
    car.y = -12.7;
    cv::Mat frame(30, 30, CV_8UC3, cv::Scalar(7, 7, 7));
    car.draw(frame);
    EXPECT_EQ(px(frame, 0, 5), px(texture, 12, 0)) << "row -12, not -13";
    EXPECT_EQ(px(frame, 7, 6), px(texture, 19, 1));
    EXPECT_EQ(px(frame, 8, 5), cv::Vec3b(7, 7, 7));
    EXPECT_EQ(px(frame, 0, 7), cv::Vec3b(7, 7, 7)) << "transparent column";

    car.y = 25.9; // partly below the bottom edge
    car.draw(frame);
    EXPECT_EQ(px(frame, 29, 5), px(texture, 4, 0));
}

TEST(CarBlink, HiddenFiftyThenShownHundredMilliseconds) {
    setClock(testClock);
    testNow = 5000000;
    Car car(smallCar());
    car.updateBlink(1000000);
    EXPECT_FALSE(car.hit);
    EXPECT_EQ(car.blinkState, 0) << "an unhit car never blinks";
    EXPECT_EQ(car.blinkTime, 0);

    car.startBlink();
    EXPECT_TRUE(car.hit);
    cv::Mat frame(40, 40, CV_8UC3, cv::Scalar::all(0));
    car.draw(frame);
    EXPECT_EQ(cv::countNonZero(frame.reshape(1)), 0) << "hidden right after the hit";

    // One entry per 10 ms frame, the phase after the frame: hidden until 50 ms after the hit,
    // shown until 150 ms, hidden until 200 ms.
    const std::string expected = std::string(4, '1') + std::string(10, '0') +
                                 std::string(5, '1') + std::string(9, '0');
    std::string seen;
    for (size_t i = 0; i < expected.size(); ++i) {
        testNow += 10000;
        car.updateBlink(10000);
        seen += static_cast<char>('0' + car.blinkState);
    }
    EXPECT_EQ(seen, expected);
    setClock(nullptr);
}
