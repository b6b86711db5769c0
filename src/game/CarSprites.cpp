#include "game/CarSprites.hpp"

#include "gfx/Compositing.hpp"

CarSprites::CarSprites(const cv::Mat& carTexture) : m_texture(carTexture.clone()) {}

void CarSprites::draw(cv::Mat& frame, const CarView& car) {
    // A blinking car keeps its picture while it hides.
    const Sprite& made = sprite(car.colour);
    if (!car.hidden) {
        overlay(made.picture, frame, car.x, car.y, made.mask);
    }
}

const CarSprites::Sprite& CarSprites::sprite(const cv::Scalar& colour) {
    const Colour key{colour[0], colour[1], colour[2]};
    auto found = m_sprites.find(key);
    if (found == m_sprites.end()) {
        Sprite made{m_texture.clone(), m_texture.clone()};
        makeMask(made.picture, made.mask);
        recolour(made.picture, colour);
        found = m_sprites.emplace(key, std::move(made)).first;
    }
    found->second.used = true;
    return found->second;
}

void CarSprites::forgetUnused() {
    for (auto it = m_sprites.begin(); it != m_sprites.end();) {
        if (it->second.used) {
            it->second.used = false;
            ++it;
        } else {
            it = m_sprites.erase(it);
        }
    }
}
