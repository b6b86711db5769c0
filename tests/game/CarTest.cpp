#include "game/Car.hpp"
#include "app/Clock.hpp"
#include "gfx/Compositing.hpp"
#include "gfx/Palette.hpp"

#include <gtest/gtest.h>

namespace {
int64_t testNow = 0;
int64_t testClock() {
    return testNow;
}

// Every row its own colour, the last column transparent.
cv::Mat stripedCar() {
    cv::Mat texture(20, 3, CV_8UC3);
    for (int row = 0; row < texture.rows; ++row) {
        texture.row(row).setTo(cv::Scalar(row * 10 + 1, 50, 60));
    }
    texture.col(2).setTo(MAGENTA);
    texture.at<cv::Vec3b>(0, 0) = cv::Vec3b(0, 0, 255);
    return texture;
}

cv::Vec3b px(const cv::Mat& image, int row, int col) {
    return image.at<cv::Vec3b>(row, col);
}
} // namespace

TEST(CarConstruction, SerialIdsAndPrivateSprites) {
    const cv::Mat texture = stripedCar();
    Car first(texture);
    Car second(texture);
    EXPECT_EQ(second.id, first.id + 1);
    recolour(first.sprite, GREEN);
    EXPECT_EQ(px(first.sprite, 0, 0), cv::Vec3b(0, 255, 0));
    EXPECT_EQ(px(second.sprite, 0, 0), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(px(texture, 0, 0), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(px(texture, 0, 2), cv::Vec3b(255, 0, 255)) << "the shared texture keeps its key";
    EXPECT_EQ(px(first.mask, 0, 2), cv::Vec3b(0, 0, 0));
}

TEST(CarDrawing, TruncatesTowardZeroClipsAndKeepsTransparentPixels) {
    const cv::Mat texture = stripedCar();
    Car car(texture);
    car.x = 5;
    car.y = -12.7;
    cv::Mat frame(30, 30, CV_8UC3, cv::Scalar::all(7));
    car.draw(frame);
    EXPECT_EQ(px(frame, 0, 5), px(texture, 12, 0)) << "from row -12, not -13";
    EXPECT_EQ(px(frame, 7, 6), px(texture, 19, 1));
    EXPECT_EQ(px(frame, 8, 5), cv::Vec3b(7, 7, 7));
    EXPECT_EQ(px(frame, 0, 7), cv::Vec3b(7, 7, 7)) << "transparent column";
    car.y = 25.9;
    car.draw(frame);
    EXPECT_EQ(px(frame, 29, 5), px(texture, 4, 0));
}

TEST(CarBlink, HiddenFiftyThenShownHundredMilliseconds) {
    setClock(testClock);
    testNow = 5000000;
    Car car(stripedCar());
    car.updateBlink(1000000);
    EXPECT_EQ(car.blinkState, 0) << "an unhit car never blinks";
    EXPECT_EQ(car.blinkTime, 0);
    car.startBlink();
    EXPECT_TRUE(car.hit);
    cv::Mat frame(40, 40, CV_8UC3, cv::Scalar::all(0));
    car.draw(frame);
    EXPECT_EQ(cv::countNonZero(frame.reshape(1)), 0) << "hidden at once";

    // The phase after each 10 ms frame: hidden until 50 ms, shown until 150, hidden until 200.
    const std::string expected = "1111" + std::string(10, '0') + "11111" + "000000000";
    std::string seen;
    for (size_t i = 0; i < expected.size(); ++i) {
        testNow += 10000;
        car.updateBlink(10000);
        seen += static_cast<char>('0' + car.blinkState);
    }
    EXPECT_EQ(seen, expected);
    setClock(nullptr);
}
