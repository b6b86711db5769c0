#pragma once
// The pictures of the cars: the car texture keyed and recoloured once for each body colour on
// the road, and given back once no car of that colour has been drawn for a frame. A picture is
// made from its colour alone, so a car that keeps its colour keeps its picture.

#include "game/CarView.hpp"

#include <array>
#include <map>
#include <opencv2/core.hpp>

class CarSprites {
public:
    // The texture's MAGENTA pixels are transparent, RED the body and BLUE its shade.
    explicit CarSprites(const cv::Mat& texture);

    // Pastes the car, unless it is hidden, at its place on the frame.
    void draw(cv::Mat& frame, const CarView& car);
    // Gives back the pictures of colours not drawn since the last call.
    void forgetUnused();

private:
    struct Sprite {
        cv::Mat picture;
        cv::Mat mask;
        bool used = true;
    };
    using Colour = std::array<double, 3>;
    const Sprite& sprite(const cv::Scalar& colour);

    cv::Mat m_texture;
    std::map<Colour, Sprite> m_sprites;
};
