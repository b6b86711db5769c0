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
    : config(settings), game(running), detection(worker), out(console) {}

void KeyTable::echo(const char* name, bool value) {
    out << name << ": " << value << "\n";
}

void KeyTable::toggleCameraWindow() {
    echo("showCameraWin", flip(config.showCameraWin));
    detection.updateCameraWindow();
}

void KeyTable::dispatch(int key) {
    switch (key) {
    case 'g':
        // Only the start screen starts a run this way; elsewhere g does nothing.
        if (game.state() == GameState::Start) {
            game.startRun();
        }
        break;
    case 'h':
        printHelp(out);
        break;
    case 'i':
        echo("greyscale", flip(config.greyscale));
        break;
    case 'k':
        echo("detectionEnabled", flip(config.detectionEnabled));
        break;
    case 'l':
        detection.requestDump();
        out << "dumpInfo called() --\n";
        break;
    case 'm':
        config.keyStep = STEP;
        break;
    case 'n':
        config.keyStep = -STEP;
        break;
    case 'o':
        echo("drawAll", flip(config.drawAll));
        break;
    case 'p':
        echo("invertX", flip(config.invertX));
        break;
    case 's':
        echo("blur", flip(config.blur));
        break;
    case 't':
        game.toStartScreen();
        break;
    case 'u':
        toggleCameraWindow();
        break;
    case 'v':
        game.restart();
        break;
    case 'z':
        out << game.stateDump();
        break;
    default:
        break;
    }
}
