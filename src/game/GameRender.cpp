// The visual side of Game: the one-time preparation of the backdrop, the kerbs and the
// player's car, and the composition of every frame.

#include "game/Game.hpp"

#include "gfx/Compositing.hpp"
#include "core/Palette.hpp"
#include "gfx/TextFormat.hpp"

#include <opencv2/imgproc.hpp>

namespace {
const cv::Scalar GRASS(115, 220, 109);
const cv::Scalar PLAYER_BODY(20, 20, 255);
constexpr int STRIPE_WIDTH = 20;
// The HUD value sits below and slightly right of its label.
const cv::Point VALUE_OFFSET(10, 45);
} // namespace

bool Game::init(int64_t now) {
    if (!resources.load(paths)) {
        return false;
    }
    hiScores.load();
    Screen* screens[] = {&startScreen, &pauseScreen, &hiScoreScreen};
    for (Screen* screen : screens) {
        if (!screen->enter(now)) {
            return false;
        }
        // The static part of each panel is painted once.
        screen->draw(screen->canvas);
    }

    const int W = background.cols;
    const int H = background.rows;

    playerCar = std::make_unique<Car>(resources.textures[TextureCar]);
    Car& player = *playerCar;
    player.bounds = cv::Rect(W / 2 - roadWidth / 2, 0, roadWidth, H);
    player.x = player.bounds.x + player.bounds.width / 2 - player.width() / 2;
    // The bottom edge a fifth of the car's height above the frame's bottom.
    player.y = player.bounds.y + player.bounds.height - static_cast<int>(player.height() * 1.2);
    player.speed = 0;
    recolour(player.sprite, PLAYER_BODY);

    background.setTo(GREY);
    cv::rectangle(background, cv::Point(0, 0), cv::Point(W / 2 - roadWidth / 2, H), GRASS,
                  cv::FILLED, cv::LINE_8);
    cv::rectangle(background, cv::Point(W / 2 + roadWidth / 2, 0), cv::Point(W, H), GRASS,
                  cv::FILLED, cv::LINE_8);

    // Whole red and white pairs, long enough that two copies cover the frame at any offset.
    const int period = 2 * stripeLength;
    stripes.create(period * ((H * 3 / 4) / period), STRIPE_WIDTH, frame.type());
    for (int k = 1; k * stripeLength < stripes.rows; k += 2) {
        cv::rectangle(stripes, cv::Point(0, (k - 1) * stripeLength),
                      cv::Point(STRIPE_WIDTH, k * stripeLength), RED, cv::FILLED, cv::LINE_8);
        cv::rectangle(stripes, cv::Point(0, k * stripeLength),
                      cv::Point(STRIPE_WIDTH, (k + 1) * stripeLength), WHITE, cv::FILLED,
                      cv::LINE_8);
    }

    leftStripeX = W / 2 - stripes.cols / 2 - roadWidth / 2;
    rightStripeX = W / 2 - stripes.cols / 2 + roadWidth / 2;
    lengthPos = cv::Point(W - 160, 40);
    scorePos = cv::Point(W - 160, 130);
    hitsPos = cv::Point(W - 160, 220);
    speedPos = cv::Point(30, 40);
    timePos = cv::Point(30, 130);

    const Font labelFont(5, 1.5, 2);
    drawOutlinedText(background, "Km", lengthPos.x, lengthPos.y, labelFont, BLACK, WHITE);
    drawOutlinedText(background, "Score", scorePos.x, scorePos.y, labelFont, BLACK, WHITE);
    drawOutlinedText(background, "Speed", speedPos.x, speedPos.y, labelFont, BLACK, WHITE);
    drawOutlinedText(background, "Hits", hitsPos.x, hitsPos.y, labelFont, BLACK, WHITE);
    drawOutlinedText(background, "Time", timePos.x, timePos.y, labelFont, BLACK, WHITE);

    hudFont.set(5, 2.5, 3);

    restart();
    return true;
}

void Game::draw() {
    lookDrawn = false;
    roadAloneShown = false;
    redraw();
}

bool Game::redraw() {
    // The HUD's texts go into the fingerprint and, when it changed, onto the frame.
    const std::array<HudValue, 5> hud = hudValues();
    nextLook.clear();
    addLook(nextLook, hud);
    // A shake moves the picture by a random offset each frame.
    if (lookDrawn && nextLook == drawnLook && !shaking()) {
        return false;
    }
    compose(hud);
    std::swap(drawnLook, nextLook);
    lookDrawn = true;
    return true;
}

bool Game::shaking() const {
    return state == GameState::Playing && gameTime < shakeUntil;
}

void Game::compose(const std::array<HudValue, 5>& hud) {
    clearFrame();
    drawnOnRoad.clear();

    const int t = static_cast<int>(stripeOffset);
    for (const int top : {t, t + stripes.rows}) {
        drawnOnRoad.push_back(overlay(stripes, frame, leftStripeX, top));
        drawnOnRoad.push_back(overlay(stripes, frame, rightStripeX, top));
    }

    for (const Car& car : cars) {
        drawnOnRoad.push_back(car.draw(frame));
    }

    drawHud(hud);
    drawnOnRoad.push_back(playerCar->draw(frame));

    const std::array<Screen*, 2> shownPanels = panels();
    roadAloneShown = !shaking() && !shownPanels[0];
    if (shaking()) {
        frame.copyTo(shakeFrame);
        // Shifts the picture sideways by -2 to +2; the uncovered columns keep their content.
        overlay(shakeFrame, frame, shakeRng.uniform(-2, 3), 0);
    }

    for (Screen* panel : shownPanels) {
        if (panel) {
            drawScreen(*panel);
        }
    }
}

void Game::clearFrame() {
    // Same size and type every frame, so the copies reuse frame's pixels.
    if (!roadAloneShown || frame.size() != background.size()) {
        background.copyTo(frame);
        return;
    }
    for (const cv::Rect& region : drawnOnRoad) {
        // A hidden car or one off the frame drew nothing; an empty region is no target.
        if (!region.empty()) {
            background(region).copyTo(frame(region));
        }
    }
}

std::array<Screen*, 2> Game::panels() {
    switch (state) {
    case GameState::Start:
        return {&startScreen, &hiScoreScreen};
    case GameState::Paused:
        return {&pauseScreen, nullptr};
    case GameState::HiScore:
        return {&hiScoreScreen, nullptr};
    default:
        return {nullptr, nullptr};
    }
}

std::array<Game::HudValue, 5> Game::hudValues() const {
    const int kmh = static_cast<int>(playerCar->speed * 36.0 / pixelsPerMeter / 10.0);
    const double seconds = ((gameDuration - gameTime) / 1000) / 1000.0;
    return {{
        {scorePos, toString(static_cast<int>(score))},
        {speedPos, toString(kmh)},
        {hitsPos, toString(hits)},
        {timePos, toString(seconds, 1)},
        {lengthPos, toString(length / 1000.0, 2)},
    }};
}

void Game::drawHud(const std::array<HudValue, 5>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        const cv::Point at = values[i].anchor + VALUE_OFFSET;
        drawnOnRoad.push_back(
            hudStamps[i].draw(frame, values[i].text, at.x, at.y, hudFont, YELLOW));
    }
}

void Game::drawScreen(Screen& screen) {
    const int px = frame.cols / 2 + screen.x;
    const int py = frame.rows / 2 + screen.y;
    if (screen.drawBackground(frame, px, py)) {
        overlay(screen.canvas, frame, px, py);
    }
    screen.drawHint(frame, px, py);
}

void Game::addLook(Fingerprint& look, const std::array<HudValue, 5>& hud) {
    look.add(state).add(static_cast<int>(stripeOffset));
    for (const HudValue& value : hud) {
        look.add(value.text);
    }
    playerCar->addLook(look);
    look.add(cars.size());
    for (const Car& car : cars) {
        car.addLook(look);
    }
    for (const Screen* panel : panels()) {
        if (panel) {
            panel->addLook(look);
        }
    }
}
