#include "game/Game.hpp"

#include "core/KeyCodes.hpp"

Game::Game(uint64_t trafficSeed, std::string hiScoreFile, const GamePaths* gamePaths,
           std::ostream& out)
    : paths(gamePaths), console(out), store(std::move(hiScoreFile), gamePaths, out),
      startScreen(&resources), seed(trafficSeed), shakeRng(~trafficSeed),
      picture(600, 800, CV_8UC3, cv::Scalar::all(0)) {}

bool Game::init(int64_t now) {
    if (!resources.load(paths, console)) {
        return false;
    }
    store.load();
    hiScoreScreen.showTable(store.table());
    Screen* screens[] = {&startScreen, &pauseScreen, &hiScoreScreen};
    for (Screen* screen : screens) {
        if (!screen->init(now)) {
            return false;
        }
    }
    const cv::Mat& car = resources.textures[TextureCar];
    rules.emplace(Run::Layout{picture.size(), car.size()}, seed);
    drawing.emplace(car, picture.size());
    restart();
    return true;
}

void Game::update(int shift, int64_t now) {
    if (lastUpdateTime == -1) {
        lastUpdateTime = now;
        return;
    }
    // Measured in every state, so leaving the pause or the start screen never jumps ahead.
    const int64_t dt = now - lastUpdateTime;
    lastUpdateTime = now;

    switch (current) {
    case GameState::Start:
        startScreen.update(shift, now);
        hiScoreScreen.update(shift, now);
        if (startScreen.choice() == StartChoice::Start) {
            startRun();
        }
        if (startScreen.choice() == StartChoice::Quit) {
            current = GameState::Quit;
        }
        break;
    case GameState::Paused:
        pauseScreen.update(shift, now);
        break;
    case GameState::HiScore:
        hiScoreScreen.update(shift, now);
        break;
    case GameState::Playing:
        if (rules->play(shift, dt)) {
            offerResult(rules->result(), now);
        }
        break;
    default:
        break;
    }
}

void Game::offerResult(const HiScoreEntry& entry, int64_t now) {
    if (hiScoreScreen.offer(entry, now)) {
        current = GameState::HiScore;
    } else {
        toStartScreen();
    }
}

bool Game::handleKey(int key, int64_t now) {
    // ESC quits from the start and pause screens alike.
    if (key == KEY_ESC && (current == GameState::Start || current == GameState::Paused)) {
        current = GameState::Quit;
        return true;
    }
    switch (current) {
    case GameState::Start:
        if (key == KEY_ENTER) {
            startRun();
            return true;
        }
        return false;
    case GameState::Playing:
        switch (lowerKey(key)) {
        case KEY_SPACE:
            current = GameState::Paused;
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
            current = GameState::Playing;
            return true;
        }
        return false;
    case GameState::HiScore: {
        const NameEntryKey typed = hiScoreScreen.handleKey(key);
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
    store.save(record);
    hiScoreScreen.showTable(store.table()); // the table as saved, with other games' records
    toStartScreen();
    // The player looks at the window, not at the console.
    if (!store.saveNotice().empty()) {
        startScreen.showNotice(store.saveNotice(), now);
    }
}

void Game::restart() {
    lastUpdateTime = -1;
    rules->restart();
}

void Game::startRun() {
    restart();
    current = GameState::Playing;
}

void Game::toStartScreen() {
    current = GameState::Start;
    startScreen.resetSelection();
}

FrameView Game::view() const {
    FrameView view;
    view.state = current;
    view.run = rules->view();
    switch (current) {
    case GameState::Start:
        view.start = startScreen.panel();
        view.table = hiScoreScreen.panel();
        break;
    case GameState::Paused:
        view.pause = pauseScreen.panel();
        break;
    case GameState::HiScore:
        view.table = hiScoreScreen.panel();
        break;
    default:
        break;
    }
    return view;
}

FrameView Game::viewToDraw() {
    FrameView next = view();
    if (current == GameState::Playing && rules->shaking()) {
        next.run.shake = shakeRng.uniform(-2, 3);
    }
    return next;
}

void Game::draw() {
    FrameView next = viewToDraw();
    compose(next);
    shown = std::move(next);
}

bool Game::redraw() {
    FrameView next = viewToDraw();
    if (shown && next == *shown) {
        return false;
    }
    compose(next);
    shown = std::move(next);
    return true;
}

void Game::compose(const FrameView& view) {
    drawing->draw(picture, view.run);
    if (view.start) {
        startScreen.drawPanel(picture, *view.start);
    }
    if (view.table) {
        hiScoreScreen.drawPanel(picture, *view.table);
    }
    if (view.pause) {
        pauseScreen.drawPanel(picture, *view.pause);
    }
}
