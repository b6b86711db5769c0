#include "game/Game.hpp"

#include "core/KeyCodes.hpp"

Game::Game(uint64_t trafficSeed, std::string hiScoreFile, const GamePaths* gamePaths,
           std::ostream& out)
    : m_paths(gamePaths), m_console(out), m_store(std::move(hiScoreFile), gamePaths, out),
      m_startScreen(&m_resources), m_seed(trafficSeed), m_shakeRng(~trafficSeed),
      m_frame(600, 800, CV_8UC3, cv::Scalar::all(0)) {}

bool Game::init(int64_t now) {
    if (!m_resources.load(m_paths, m_console)) {
        return false;
    }
    m_store.load();
    m_hiScoreScreen.showTable(m_store.table());
    Screen* screens[] = {&m_startScreen, &m_pauseScreen, &m_hiScoreScreen};
    for (Screen* screen : screens) {
        if (!screen->init(now)) {
            return false;
        }
    }
    const cv::Mat& car = m_resources.textures[TextureCar];
    m_run.emplace(Run::Layout{m_frame.size(), car.size()}, m_seed);
    m_drawing.emplace(car, m_frame.size());
    restart();
    return true;
}

void Game::update(int shift, int64_t now) {
    if (m_lastUpdateTime == -1) {
        m_lastUpdateTime = now;
        return;
    }
    // Measured in every state, so leaving the pause or the start screen never jumps ahead.
    const int64_t dt = now - m_lastUpdateTime;
    m_lastUpdateTime = now;

    switch (m_state) {
    case GameState::Start:
        m_startScreen.update(shift, now);
        m_hiScoreScreen.update(shift, now);
        if (m_startScreen.choice() == StartChoice::Start) {
            startRun();
        }
        if (m_startScreen.choice() == StartChoice::Quit) {
            m_state = GameState::Quit;
        }
        break;
    case GameState::Paused:
        m_pauseScreen.update(shift, now);
        break;
    case GameState::HiScore:
        m_hiScoreScreen.update(shift, now);
        break;
    case GameState::Playing:
        if (m_run->play(shift, dt)) {
            offerResult(m_run->result(), now);
        }
        break;
    default:
        break;
    }
}

void Game::offerResult(const HiScoreEntry& entry, int64_t now) {
    if (m_hiScoreScreen.offer(entry, now)) {
        m_state = GameState::HiScore;
    } else {
        toStartScreen();
    }
}

bool Game::handleKey(int key, int64_t now) {
    // ESC quits from the start and pause screens alike.
    if (key == KEY_ESC && (m_state == GameState::Start || m_state == GameState::Paused)) {
        m_state = GameState::Quit;
        return true;
    }
    switch (m_state) {
    case GameState::Start:
        if (key == KEY_ENTER) {
            startRun();
            return true;
        }
        return false;
    case GameState::Playing:
        switch (lowerKey(key)) {
        case KEY_SPACE:
            m_state = GameState::Paused;
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
            m_state = GameState::Playing;
            return true;
        }
        return false;
    case GameState::HiScore: {
        const NameEntryKey typed = m_hiScoreScreen.handleKey(key);
        if (typed.outcome == NameEntryKey::Confirmed) {
            saveRecord(typed.record, now);
        }
        return typed.outcome != NameEntryKey::NotTaken;
    }
    default:
        return false;
    }
}

void Game::saveRecord(const HiScoreEntry& record, int64_t now) {
    m_store.save(record);
    m_hiScoreScreen.showTable(m_store.table()); // the table as saved, with other games' records
    toStartScreen();
    // The player looks at the window, not at the console.
    if (!m_store.saveNotice().empty()) {
        m_startScreen.showNotice(m_store.saveNotice(), now);
    }
}

void Game::restart() {
    m_lastUpdateTime = -1;
    m_run->restart();
}

void Game::startRun() {
    restart();
    m_state = GameState::Playing;
}

void Game::toStartScreen() {
    m_state = GameState::Start;
    m_startScreen.resetSelection();
}

FrameView Game::view() const {
    FrameView view;
    view.state = m_state;
    view.run = m_run->view();
    switch (m_state) {
    case GameState::Start:
        view.start = m_startScreen.panel();
        view.table = m_hiScoreScreen.panel();
        break;
    case GameState::Paused:
        view.pause = m_pauseScreen.panel();
        break;
    case GameState::HiScore:
        view.table = m_hiScoreScreen.panel();
        break;
    default:
        break;
    }
    return view;
}

FrameView Game::viewToDraw() {
    FrameView next = view();
    if (m_state == GameState::Playing && m_run->shaking()) {
        next.run.shake = m_shakeRng.uniform(-2, 3);
    }
    return next;
}

void Game::draw() {
    FrameView next = viewToDraw();
    compose(next);
    m_shown = std::move(next);
}

bool Game::redraw() {
    FrameView next = viewToDraw();
    if (m_shown && next == *m_shown) {
        return false;
    }
    compose(next);
    m_shown = std::move(next);
    return true;
}

void Game::compose(const FrameView& view) {
    m_drawing->draw(m_frame, view.run);
    if (view.start) {
        m_startScreen.drawPanel(m_frame, *view.start);
    }
    if (view.table) {
        m_hiScoreScreen.drawPanel(m_frame, *view.table);
    }
    if (view.pause) {
        m_pauseScreen.drawPanel(m_frame, *view.pause);
    }
}
