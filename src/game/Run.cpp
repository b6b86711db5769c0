#include "game/Run.hpp"

#include <algorithm>
#include <iomanip>
#include <sstream>

namespace {
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
const cv::Scalar PLAYER_BODY(20, 20, 255);

// Closed intervals: cars that only touch still overlap.
bool overlapsHorizontally(const Car& a, const Car& b) {
    return a.x <= b.x + b.width() && b.x <= a.x + a.width();
}
} // namespace

Run::Run(const Layout& layout, uint64_t seed)
    : m_frameSize(layout.frame), m_carSize(layout.car),
      m_player(m_nextCarId++, layout.car, PLAYER_BODY), m_trafficRng(seed) {
    const int W = m_frameSize.width;
    const int H = m_frameSize.height;
    m_player.bounds = cv::Rect(W / 2 - roadWidth / 2, 0, roadWidth, H);
    m_player.x = m_player.bounds.x + m_player.bounds.width / 2 - m_player.width() / 2;
    // The bottom edge a fifth of the car's height above the frame's bottom.
    m_player.y =
        m_player.bounds.y + m_player.bounds.height - static_cast<int>(m_player.height() * 1.2);
    restart();
}

void Run::restart() {
    m_gameTime = 0;
    m_nextSpeedUpTime = 0;
    m_nextSpawnTime = FIRST_SPAWN;
    m_shakeUntil = -1;
    m_score = 0;
    m_hits = 0;
    m_length = 0;
    m_player.speed = 0;
    m_traffic.clear();
}

double Run::speedKmh() const {
    return m_player.speed * 36 / pixelsPerMeter / 10;
}

bool Run::play(int shift, int64_t dt) {
    m_gameTime += dt;

    Car& player = m_player;
    player.x += shift;
    if (player.x < player.bounds.x) {
        player.x = player.bounds.x;
    }
    const int rightEdge = player.bounds.x + player.bounds.width;
    if (player.x + player.width() > rightEdge) {
        player.x = rightEdge - player.width();
    }

    if (m_gameTime >= runLength) {
        m_gameTime = runLength;
        return true;
    }

    m_length += dt * player.speed / (pixelsPerMeter * 1000000.0);

    if (m_gameTime >= m_nextSpeedUpTime) {
        if (speedKmh() < TOP_SPEED_KMH) {
            player.speed = std::max(0.0, player.speed + pixelsPerMeter);
        }
        m_nextSpeedUpTime = m_gameTime + SPEED_UP_INTERVAL;
    }

    m_kerbOffset += dt * player.speed / 1000000.0;
    if (m_kerbOffset >= 0) {
        const int64_t period = 2 * stripeLength;
        m_kerbOffset = static_cast<double>(static_cast<int64_t>(m_kerbOffset) % period - period);
    }

    if (m_canGenCar && m_gameTime >= m_nextSpawnTime) {
        spawnCar();
        m_nextSpawnTime = m_gameTime + SPAWN_INTERVAL;
    }
    m_canGenCar = true;

    moveTraffic(dt);
    return false;
}

void Run::moveTraffic(int64_t dt) {
    const Car& player = m_player;
    for (auto it = m_traffic.begin(); it != m_traffic.end();) {
        Car& car = *it;
        car.updateBlink(m_gameTime);
        car.y += car.speed * dt / 1000000.0;

        if (car.top() > m_frameSize.height) {
            if (!car.hit()) {
                m_score += car.speed;
            }
            it = m_traffic.erase(it);
            continue;
        }

        if (car.top() < TOP_MARGIN) {
            m_canGenCar = false;
        }

        // A hit needs the vertical extents to meet: the traffic car's bottom below the
        // player's top, and its top not yet below the player's bottom (a car already passed
        // is not run into by steering sideways).
        if (!car.hit() && car.top() + car.height() > player.top() &&
            car.top() <= player.top() + player.height() && overlapsHorizontally(car, player)) {
            car.startBlink(m_gameTime);
            ++m_hits;
            if (speedKmh() > HIT_PENALTY_LIMIT_KMH) {
                m_player.speed = std::max(0.0, m_player.speed - 10.0 * pixelsPerMeter);
            }
            m_nextSpeedUpTime = m_gameTime + HIT_SPEED_UP_PAUSE;
            m_shakeUntil = m_gameTime + SHAKE_LENGTH;
        }

        queueBehind(car);
        ++it;
    }
}

void Run::queueBehind(Car& car) const {
    for (const Car& ahead : m_traffic) {
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
    Car& car = m_traffic.emplace_back(m_nextCarId++, m_carSize, cv::Scalar());

    const int width = car.width();
    int r = 0;
    if (roadWidth > width) {
        r = m_trafficRng.uniform(0, roadWidth - width);
    }
    car.x = m_frameSize.width / 2 - roadWidth / 2 + r;
    car.y = -car.height();

    const int a = std::max(5, static_cast<int>(m_player.speed) - 10);
    const int b = 5 * (4 + m_trafficRng.uniform(0, 20));
    car.speed = std::min(a, b);

    cv::Scalar colour(0, 0, 0, 0);
    const int k = m_trafficRng.uniform(0, 3);
    colour[k] = 20 + m_trafficRng.uniform(0, 40);
    colour[(k + 1) % 3] = 200 + m_trafficRng.uniform(0, 55);
    colour[(k + 2) % 3] = 10 * m_trafficRng.uniform(0, 23);
    car.colour = colour;
}

HiScoreEntry Run::result() const {
    return HiScoreEntry("", static_cast<int>(m_length), static_cast<int>(m_score), m_hits);
}

RunView Run::view() const {
    RunView view;
    view.kerbTop = static_cast<int>(m_kerbOffset);
    view.traffic.reserve(m_traffic.size());
    for (const Car& car : m_traffic) {
        view.traffic.push_back(car.view());
    }
    view.player = m_player.view();
    view.hud = {m_score, speedKmh(), m_hits, runLength - m_gameTime, m_length};
    return view;
}

std::string Run::stateDump() const {
    std::ostringstream out;
    out << " gameTime: " << std::fixed << std::setprecision(3)
        << static_cast<double>(m_gameTime) / 1000000.0 << "s"
        << " canGenCar: " << m_canGenCar << "\n cars: " << m_traffic.size() << "\n";
    for (const Car& car : m_traffic) {
        out << " car " << car.id << ": y: " << car.top() << "\n";
    }
    return out.str();
}
