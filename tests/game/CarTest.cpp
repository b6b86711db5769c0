#include "game/Car.hpp"
#include "gfx/Compositing.hpp"
#include "core/Palette.hpp"

#include <gtest/gtest.h>

TEST(Car, SerialIdsPrivateSpritesAndTruncatedDrawingUnlessHidden) {
    cv::Mat texture(20, 3, CV_8UC3);
    cv::randu(texture, 1, 200); // neither the transparent key nor the body colour
    texture.col(2).setTo(MAGENTA);
    texture.at<cv::Vec3b>(0, 0) = cv::Vec3b(0, 0, 255);
    Car first(texture), car(texture);
    EXPECT_EQ(car.id, first.id + 1);
    auto at = [](const cv::Mat& image, int row, int col) { return image.at<cv::Vec3b>(row, col); };
    recolour(first.sprite, GREEN); // leaves the other cars and the shared texture alone
    EXPECT_TRUE(at(car.sprite, 0, 0) == cv::Vec3b(0, 0, 255) &&
                at(texture, 0, 0) == at(car.sprite, 0, 0));
    cv::Mat frame(30, 30, CV_8UC3, cv::Scalar::all(7));
    std::tie(car.x, car.y) = std::make_tuple(5, -12.7);
    car.draw(frame);
    EXPECT_EQ(at(frame, 0, 5), at(texture, 12, 0)) << "from row -12, not -13";
    EXPECT_EQ(at(frame, 0, 7), cv::Vec3b(7, 7, 7)) << "transparent column";

    car.startBlink(0);
    frame.setTo(cv::Scalar::all(7));
    car.draw(frame);
    EXPECT_EQ(at(frame, 0, 5), cv::Vec3b(7, 7, 7)) << "a hit car is hidden at once";
}
