#include "game/CarSprites.hpp"

#include "gfx/Compositing.hpp"

CarSprites::CarSprites(const cv::Mat& carTexture) : texture(carTexture.clone()) {}

void CarSprites::draw(cv::Mat& frame, const CarView& car) {
    // A blinking car keeps its picture while it hides.
    const Sprite& made = sprite(car.colour);
    if (!car.hidden) {
        overlay(made.picture, frame, car.x, car.y, made.mask);
    }
}

const CarSprites::Sprite& CarSprites::sprite(const cv::Scalar& colour) {
    const Colour key{colour[0], colour[1], colour[2]};
    auto found = sprites.find(key);
    if (found == sprites.end()) {
        Sprite made{texture.clone(), texture.clone()};
        makeMask(made.picture, made.mask);
        recolour(made.picture, colour);
        found = sprites.emplace(key, std::move(made)).first;
    }
    found->second.used = true;
    return found->second;
}

void CarSprites::forgetUnused() {
    for (auto it = sprites.begin(); it != sprites.end();) {
        if (it->second.used) {
            it->second.used = false;
            ++it;
        } else {
            it = sprites.erase(it);
        }
    }
}
