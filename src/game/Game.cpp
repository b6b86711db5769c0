#include "game/Game.hpp"

#include "core/KeyCodes.hpp"
#include "gfx/Compositing.hpp"
#include "gfx/TextFormat.hpp"

#include <algorithm>
#include <iostream>
#include <memory>
#include <sstream>

namespace {
constexpr int64_t RUN_LENGTH = 60000000;
constexpr int64_t FIRST_SPAWN = 3000000;
constexpr int64_t SPAWN_INTERVAL = 1500000;
constexpr int64_t SPEED_UP_INTERVAL = 500000;
constexpr int64_t HIT_SPEED_UP_PAUSE = 5000000;
constexpr int64_t SHAKE_LENGTH = 800000;
constexpr double TOP_SPEED_KMH = 160.0;
constexpr double HIT_PENALTY_LIMIT_KMH = 50.0;
// A car this close to the top edge keeps the next one from being generated on top of it.
constexpr int TOP_MARGIN = 10;
// Cars closer than this behind a slower car fall in behind it.
constexpr int QUEUE_GAP = 20;

// Top and bottom edge as they are drawn and compared: truncated toward zero.
int top(const Car& car) {
    return static_cast<int>(car.y);
}

// Closed intervals: cars that only touch still overlap.
bool overlapsHorizontally(const Car& a, const Car& b) {
    return a.x <= b.x + b.width() && b.x <= a.x + a.width();
}

} // namespace

Game::Game(uint64_t seed, std::string hiScoreFile, const GamePaths* gamePaths)
    : background(600, 800, CV_8UC3, cv::Scalar::all(0)),
      frame(600, 800, CV_8UC3, cv::Scalar::all(0)), paths(gamePaths),
      hiScores(std::move(hiScoreFile), gamePaths, std::cout), hiScore(hiScores.table()),
      startScreen(&resources), pauseScreen(&resources),
      hiScoreScreen(&resources, &hiScores.table()), pixelsPerMeter(stripeLength), trafficRng(seed),
      shakeRng(~seed) {}

double Game::playerSpeedKmh() const {
    return playerCar->speed * 36 / pixelsPerMeter / 10;
}

void Game::update(int shift, int64_t now) {
    if (lastUpdateTime == -1) {
        lastUpdateTime = now;
        return;
    }
    // Measured in every state, so leaving the pause or the start screen never jumps ahead.
    const int64_t dt = now - lastUpdateTime;
    lastUpdateTime = now;

    switch (state) {
    case GameState::Start:
        startScreen.update(shift, now);
        hiScoreScreen.update(shift, now);
        if (startScreen.choice == StartChoice::Start) {
            startRun();
        }
        if (startScreen.choice == StartChoice::Quit) {
            state = GameState::Quit;
        }
        break;
    case GameState::Paused:
        pauseScreen.update(shift, now);
        break;
    case GameState::HiScore:
        hiScoreScreen.update(shift, now);
        break;
    case GameState::Playing:
        updatePlaying(shift, dt, now);
        break;
    default:
        break;
    }
}

void Game::updatePlaying(int shift, int64_t dt, int64_t now) {
    gameTime += dt;

    Car& player = *playerCar;
    player.x += shift;
    if (player.x < player.bounds.x) {
        player.x = player.bounds.x;
    }
    const int rightEdge = player.bounds.x + player.bounds.width;
    if (player.x + player.width() > rightEdge) {
        player.x = rightEdge - player.width();
    }

    if (gameTime >= gameDuration) {
        gameTime = gameDuration;
        finishRun(now);
        return;
    }

    length += dt * player.speed / (pixelsPerMeter * 1000000.0);

    if (gameTime >= nextSpeedUpTime) {
        if (playerSpeedKmh() < TOP_SPEED_KMH) {
            player.speed = std::max(0.0, player.speed + pixelsPerMeter);
        }
        nextSpeedUpTime = gameTime + SPEED_UP_INTERVAL;
    }

    stripeOffset += dt * player.speed / 1000000.0;
    if (stripeOffset >= 0) {
        const int64_t period = 2 * stripeLength;
        stripeOffset = static_cast<double>(static_cast<int64_t>(stripeOffset) % period - period);
    }

    if (canGenCar && gameTime >= nextSpawnTime) {
        spawnCar();
        nextSpawnTime = gameTime + SPAWN_INTERVAL;
    }
    canGenCar = true;

    moveTraffic(dt, now);
}

void Game::moveTraffic(int64_t dt, int64_t now) {
    Car& player = *playerCar;
    for (auto it = cars.begin(); it != cars.end();) {
        Car& car = *it;
        car.updateBlink(dt, now);
        car.y += car.speed * dt / 1000000.0;

        if (top(car) > frame.rows) {
            if (!car.hit) {
                score += car.speed;
            }
            it = cars.erase(it);
            continue;
        }

        if (top(car) < TOP_MARGIN) {
            canGenCar = false;
        }

        // A hit needs the vertical extents to meet: the traffic car's bottom below the
        // player's top, and its top not yet below the player's bottom (a car already passed
        // is not run into by steering sideways).
        if (!car.hit && top(car) + car.height() > top(player) &&
            top(car) <= top(player) + player.height() && overlapsHorizontally(car, player)) {
            car.startBlink(now);
            ++hits;
            if (playerSpeedKmh() > HIT_PENALTY_LIMIT_KMH) {
                player.speed = std::max(0.0, player.speed - 10.0 * pixelsPerMeter);
            }
            nextSpeedUpTime = gameTime + HIT_SPEED_UP_PAUSE;
            shakeUntil = gameTime + SHAKE_LENGTH;
        }

        queueBehind(car);
        ++it;
    }
}

void Game::queueBehind(Car& car) const {
    for (const Car& ahead : cars) {
        if (&ahead == &car) {
            continue;
        }
        const bool isAhead = top(car) < top(ahead);
        const bool isClose = top(car) + QUEUE_GAP + car.height() > top(ahead);
        if (isAhead && isClose && overlapsHorizontally(car, ahead) && car.speed > ahead.speed) {
            car.speed = ahead.speed;
        }
    }
}

void Game::spawnCar() {
    Car& car = cars.emplace_back(resources.textures[TextureCar]);

    const int width = car.width();
    int r = 0;
    if (roadWidth > width) {
        r = trafficRng.uniform(0, roadWidth - width);
    }
    car.x = background.cols / 2 - roadWidth / 2 + r;
    car.y = -car.height();

    const int a = std::max(5, static_cast<int>(playerCar->speed) - 10);
    const int b = 5 * (4 + trafficRng.uniform(0, 20));
    car.speed = std::min(a, b);

    cv::Scalar colour(0, 0, 0, 0);
    const int k = trafficRng.uniform(0, 3);
    colour[k] = 20 + trafficRng.uniform(0, 40);
    colour[(k + 1) % 3] = 200 + trafficRng.uniform(0, 55);
    colour[(k + 2) % 3] = 10 * trafficRng.uniform(0, 23);
    recolour(car.sprite, colour);
}

void Game::finishRun(int64_t now) {
    const int metres = static_cast<int>(length);
    const int points = static_cast<int>(score);
    offerResult(HiScoreEntry("", metres, points, hits), now);
}

void Game::offerResult(const HiScoreEntry& entry, int64_t now) {
    if (hiScoreScreen.offer(entry, now)) {
        state = GameState::HiScore;
    } else {
        toStartScreen();
    }
}

bool Game::handleKey(int key, int64_t now) {
    // ESC quits from the start and pause screens alike.
    if (key == KEY_ESC && (state == GameState::Start || state == GameState::Paused)) {
        state = GameState::Quit;
        return true;
    }
    switch (state) {
    case GameState::Start:
        if (key == KEY_ENTER) {
            startRun();
            return true;
        }
        return false;
    case GameState::Playing:
        switch (lowerKey(key)) {
        case KEY_SPACE:
            state = GameState::Paused;
            return true;
        case 'r':
            toStartScreen();
            return true;
        case 'd': {
            // A fixed result that ranks in any ordinary table, to try the name entry at once.
            offerResult(HiScoreEntry("", 103999, 99999, 999), now);
            return true;
        }
        default:
            return false;
        }
    case GameState::Paused:
        if (key == KEY_SPACE) {
            state = GameState::Playing;
            return true;
        }
        return false;
    case GameState::HiScore:
        if (!hiScoreScreen.handleKey(key)) {
            return false;
        }
        if (hiScoreScreen.mode != HiScoreMode::NameEntry) {
            saveRecord(hiScoreScreen.pending, now);
        }
        return true;
    default:
        return false;
    }
}

void Game::saveRecord(const HiScoreEntry& record, int64_t now) {
    hiScores.save(record);
    toStartScreen();
    // The player looks at the window, not at the console.
    if (!hiScores.saveNotice().empty()) {
        startScreen.showNotice(hiScores.saveNotice(), now);
    }
}

void Game::restart() {
    gameTime = 0;
    gameDuration = RUN_LENGTH;
    nextSpeedUpTime = 0;
    nextSpawnTime = FIRST_SPAWN;
    shakeUntil = -1;
    score = 0;
    hits = 0;
    length = 0;
    lastUpdateTime = -1;
    if (playerCar) {
        playerCar->speed = 0;
    }
    clearCars();
}

void Game::startRun() {
    restart();
    state = GameState::Playing;
}

void Game::clearCars() {
    cars.clear();
}

void Game::toStartScreen() {
    state = GameState::Start;
    startScreen.resetSelection();
}

std::string Game::stateDump() const {
    std::ostringstream out;
    out << " gameTime: " << toString(static_cast<double>(gameTime) / 1000000.0, 3) << "s"
        << " canGenCar: " << canGenCar << "\n cars: " << cars.size() << "\n";
    for (const Car& car : cars) {
        out << " car " << car.id << ": y: " << static_cast<int>(car.y) << "\n";
    }
    return out.str();
}
