#include "game/TwinGames.hpp"

TwinGames::TwinGames(uint64_t seed, const std::string& hiScoreFile, std::ostream& console)
    : m_game(seed, hiScoreFile, nullptr, console), m_twin(seed, hiScoreFile, nullptr, console) {}

bool TwinGames::init(int64_t nowMicros) {
    return m_game.init(nowMicros) && m_twin.init(nowMicros);
}

TwinGames::Frame TwinGames::step(int shift, int64_t nowMicros) {
    m_game.update(shift, nowMicros);
    m_twin.update(shift, nowMicros);
    const bool drawn = m_game.redraw();
    m_twin.draw();
    const cv::Mat& picture = m_game.frame();
    const cv::Mat& anew = m_twin.frame();
    const bool same = picture.size() == anew.size() && picture.type() == anew.type() &&
                      cv::norm(picture, anew, cv::NORM_INF) == 0;
    return {drawn, same};
}

bool TwinGames::handleKey(int key, int64_t nowMicros) {
    const bool first = m_game.handleKey(key, nowMicros);
    return m_twin.handleKey(key, nowMicros) && first;
}
