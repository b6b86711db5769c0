#include "game/Run.hpp"

#include <algorithm>
#include <iomanip>
#include <limits>
#include <sstream>

namespace {
constexpr int64_t FIRST_SPAWN = 3000000;
constexpr int64_t SPAWN_INTERVAL = 1500000;
constexpr int64_t SPEED_UP_INTERVAL = 500000;
constexpr int64_t HIT_SPEED_UP_PAUSE = 5000000;
constexpr int64_t SHAKE_LENGTH = 800000;
constexpr int64_t NEVER = std::numeric_limits<int64_t>::max() / 2;
constexpr double TOP_SPEED_KMH = 160.0;
constexpr double HIT_PENALTY_LIMIT_KMH = 50.0;
// A car this close to the top edge keeps the next one from being generated on top of it.
constexpr int TOP_MARGIN = 10;
// Cars closer than this behind a slower car fall in behind it.
constexpr int QUEUE_GAP = 20;
const cv::Scalar PLAYER_BODY(20, 20, 255);

// Closed intervals: cars that only touch still overlap.
bool overlapsHorizontally(const Car& a, const Car& b) {
    return a.x <= b.x + b.width() && b.x <= a.x + a.width();
}
} // namespace

Run::Run(const Layout& layout, uint64_t seed)
    : frameSize(layout.frame), carSize(layout.car), playerCar(nextCarId++, layout.car, PLAYER_BODY),
      trafficRng(seed) {
    const int W = frameSize.width;
    const int H = frameSize.height;
    playerCar.bounds = cv::Rect(W / 2 - roadWidth / 2, 0, roadWidth, H);
    playerCar.x = playerCar.bounds.x + playerCar.bounds.width / 2 - playerCar.width() / 2;
    // The bottom edge a fifth of the car's height above the frame's bottom.
    playerCar.y =
        playerCar.bounds.y + playerCar.bounds.height - static_cast<int>(playerCar.height() * 1.2);
    restart();
}

void Run::restart() {
    gameTime = 0;
    nextSpeedUpTime = 0;
    nextSpawnTime = FIRST_SPAWN;
    shakeUntil = -1;
    score = 0;
    hits = 0;
    length = 0;
    playerCar.speed = 0;
    cars.clear();
}

double Run::speedKmh() const {
    return playerCar.speed * 36 / pixelsPerMeter / 10;
}

bool Run::play(int shift, int64_t dt) {
    gameTime += dt;

    Car& player = playerCar;
    player.x += shift;
    if (player.x < player.bounds.x) {
        player.x = player.bounds.x;
    }
    const int rightEdge = player.bounds.x + player.bounds.width;
    if (player.x + player.width() > rightEdge) {
        player.x = rightEdge - player.width();
    }

    if (gameTime >= runLength) {
        gameTime = runLength;
        return true;
    }

    length += dt * player.speed / (pixelsPerMeter * 1000000.0);

    if (gameTime >= nextSpeedUpTime) {
        if (speedKmh() < TOP_SPEED_KMH) {
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

    moveTraffic(dt);
    return false;
}

void Run::moveTraffic(int64_t dt) {
    const Car& player = playerCar;
    for (auto it = cars.begin(); it != cars.end();) {
        Car& car = *it;
        car.updateBlink(gameTime);
        car.y += car.speed * dt / 1000000.0;

        if (car.top() > frameSize.height) {
            if (!car.hit()) {
                score += car.speed;
            }
            it = cars.erase(it);
            continue;
        }

        if (car.top() < TOP_MARGIN) {
            canGenCar = false;
        }

        // A hit needs the vertical extents to meet: the traffic car's bottom below the
        // player's top, and its top not yet below the player's bottom (a car already passed
        // is not run into by steering sideways).
        if (!car.hit() && car.top() + car.height() > player.top() &&
            car.top() <= player.top() + player.height() && overlapsHorizontally(car, player)) {
            car.startBlink(gameTime);
            ++hits;
            if (speedKmh() > HIT_PENALTY_LIMIT_KMH) {
                playerCar.speed = std::max(0.0, playerCar.speed - 10.0 * pixelsPerMeter);
            }
            nextSpeedUpTime = gameTime + HIT_SPEED_UP_PAUSE;
            shakeUntil = gameTime + SHAKE_LENGTH;
        }

        queueBehind(car);
        ++it;
    }
}

void Run::queueBehind(Car& car) const {
    for (const Car& ahead : cars) {
        if (&ahead == &car) {
            continue;
        }
        const bool isAhead = car.top() < ahead.top();
        const bool isClose = car.top() + QUEUE_GAP + car.height() > ahead.top();
        if (isAhead && isClose && overlapsHorizontally(car, ahead) && car.speed > ahead.speed) {
            car.speed = ahead.speed;
        }
    }
}

void Run::spawnCar() {
    Car& car = cars.emplace_back(nextCarId++, carSize, cv::Scalar());

    const int width = car.width();
    int r = 0;
    if (roadWidth > width) {
        r = trafficRng.uniform(0, roadWidth - width);
    }
    car.x = frameSize.width / 2 - roadWidth / 2 + r;
    car.y = -car.height();

    const int a = std::max(5, static_cast<int>(playerCar.speed) - 10);
    const int b = 5 * (4 + trafficRng.uniform(0, 20));
    car.speed = std::min(a, b);

    cv::Scalar colour(0, 0, 0, 0);
    const int k = trafficRng.uniform(0, 3);
    colour[k] = 20 + trafficRng.uniform(0, 40);
    colour[(k + 1) % 3] = 200 + trafficRng.uniform(0, 55);
    colour[(k + 2) % 3] = 10 * trafficRng.uniform(0, 23);
    car.colour = colour;
}

HiScoreEntry Run::result() const {
    return HiScoreEntry("", static_cast<int>(length), static_cast<int>(score), hits);
}

RunView Run::view() const {
    RunView view;
    view.kerbTop = static_cast<int>(stripeOffset);
    view.traffic.reserve(cars.size());
    for (const Car& car : cars) {
        view.traffic.push_back(car.view());
    }
    view.player = playerCar.view();
    view.hud = {score, speedKmh(), hits, runLength - gameTime, length};
    return view;
}

std::string Run::stateDump() const {
    std::ostringstream out;
    out << " gameTime: " << std::fixed << std::setprecision(3)
        << static_cast<double>(gameTime) / 1000000.0 << "s"
        << " canGenCar: " << canGenCar << "\n cars: " << cars.size() << "\n";
    for (const Car& car : cars) {
        out << " car " << car.id << ": y: " << car.top() << "\n";
    }
    return out.str();
}

Car& Run::placeCar(int x, double y, double speed) {
    Car& car = cars.emplace_back(nextCarId++, carSize, cv::Scalar(0, 0, 255));
    car.x = x;
    car.y = y;
    car.speed = speed;
    return car;
}

void Run::holdTraffic() {
    nextSpawnTime = NEVER;
}

void Run::holdSpeed() {
    nextSpeedUpTime = NEVER;
}

void Run::setPlayerSpeed(double pixelsPerSecond) {
    playerCar.speed = pixelsPerSecond;
}
