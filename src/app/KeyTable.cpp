#include "app/KeyTable.hpp"

#include "app/Console.hpp"
#include "core/Config.hpp"
#include "detection/DetectionThread.hpp"
#include "game/Game.hpp"

#include <atomic>
#include <ostream>

namespace {
constexpr int STEP = 5;

// Flips the switch, then returns the new value.
bool flip(std::atomic<bool>& value) {
    const bool flipped = !value.load();
    value = flipped;
    return flipped;
}
} // namespace

KeyTable::KeyTable(Config& settings, Game& running, DetectionThread& worker, std::ostream& console)
    : m_config(settings), m_game(running), m_detection(worker), m_out(console) {}

void KeyTable::echo(const char* name, bool value) {
    m_out << name << ": " << value << "\n";
}

void KeyTable::toggleCameraWindow() {
    echo("showCameraWin", flip(m_config.showCameraWin));
    m_detection.updateCameraWindow();
}

void KeyTable::dispatch(int key) {
    switch (key) {
    case 'g':
        // Only the start screen starts a run this way; elsewhere g does nothing.
        if (m_game.state() == GameState::Start) {
            m_game.startRun();
        }
        break;
    case 'h':
        printHelp(m_out);
        break;
    case 'i':
        echo("greyscale", flip(m_config.greyscale));
        break;
    case 'k':
        echo("detectionEnabled", flip(m_config.detectionEnabled));
        break;
    case 'l':
        m_detection.requestDump();
        m_out << "dumpInfo called() --\n";
        break;
    case 'm':
        m_config.keyStep = STEP;
        break;
    case 'n':
        m_config.keyStep = -STEP;
        break;
    case 'o':
        echo("drawAll", flip(m_config.drawAll));
        break;
    case 'p':
        echo("invertX", flip(m_config.invertX));
        break;
    case 's':
        echo("blur", flip(m_config.blur));
        break;
    case 't':
        m_game.toStartScreen();
        break;
    case 'u':
        toggleCameraWindow();
        break;
    case 'v':
        m_game.restart();
        break;
    case 'z':
        m_out << m_game.stateDump();
        break;
    default:
        break;
    }
}
