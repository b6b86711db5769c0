#include "game/RunScene.hpp"

#include "core/Palette.hpp"
#include "game/Game.hpp"
#include "game/Run.hpp"

#include <limits>

namespace {
constexpr int64_t NEVER = std::numeric_limits<int64_t>::max() / 2;
} // namespace

RunScene::RunScene(Run& run) : m_run(run) {}

RunScene::RunScene(Game& game) : m_run(*game.m_run) {}

Car& RunScene::placeCar(int x, double y, double speed) {
    Car& car = m_run.m_traffic.emplace_back(m_run.m_nextCarId++, m_run.m_carSize, RED);
    car.x = x;
    car.y = y;
    car.speed = speed;
    return car;
}

void RunScene::holdTraffic() {
    m_run.m_nextSpawnTime = NEVER;
}

void RunScene::holdSpeed() {
    m_run.m_nextSpeedUpTime = NEVER;
}

void RunScene::setPlayerSpeed(double pixelsPerSecond) {
    m_run.m_player.speed = pixelsPerSecond;
}
