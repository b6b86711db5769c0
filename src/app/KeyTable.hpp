#pragma once
// The global key table: what a key does when the game did not take it first. Keys arrive
// lowered (capitals act as small letters); codes above 255 (arrows, function keys, Shift)
// and -1 (no key) have no binding.

#include <iosfwd>

class Config;
class DetectionThread;
class Game;

class KeyTable {
public:
    KeyTable(Config& config, Game& game, DetectionThread& detection, std::ostream& out);

    void dispatch(int key);
    // What u does: shows or hides "cameraWindow" and echoes the switch.
    void toggleCameraWindow();

private:
    void echo(const char* name, bool value);

    Config& m_config;
    Game& m_game;
    DetectionThread& m_detection;
    std::ostream& m_out;
};
