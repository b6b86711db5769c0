#include "app/Console.hpp"

#include "core/Config.hpp"

#include <ostream>

const std::string WINDOW_TITLE = "Dravolt";

// The game's documented help text, kept word for word although two lines no longer match the
// keys: the blur is switched with s (b does nothing), and r abandons a run for the start screen
// rather than restarting it (v starts the run again). The README's key table lists every key.
const std::string HELP_TEXT = "[h]     -print this help\n"
                              "\n"
                              "GAME/CAR MOVEMENT CONTROLS\n"
                              "[n]/[m] -move car left/right\n"
                              "[r]     -restart game\n"
                              "[SPACE] -pause\n"
                              "\n"
                              "DETECTION\n"
                              "[k]     -enable/disable detection\n"
                              "[p]     -invert left/right\n"
                              "[u]     -show camera input window [on/off]\n"
                              "[l]     -dump detection info (cout + image)\n"
                              "\n"
                              "[b]     -game blur effect [on/off]\n"
                              "[i]     -grayscale camera input [on/off]\n"
                              "[o]     -draw all detected objects [on/off]\n"
                              "\n"
                              "[ESC]   -exit\n";

void printBanner(std::ostream& out) {
    const std::string dashes(39, '-');
    out << dashes << "\n"
        << "    " << WINDOW_TITLE << "\n"
        << dashes << "\n";
}

void printHelp(std::ostream& out) {
    const std::string dashes(31, '-');
    out << " keyboard controls:\n" << dashes << "\n" << HELP_TEXT << dashes << std::endl;
}

void printSettings(const Config& config, std::ostream& out) {
    out << "Config:"
        << "\n-------"
        << "\n greyscale        : " << config.greyscale.load()
        << "\n adaptiveThreshold: " << config.adaptiveThreshold.load()
        << "\n drawAll          : " << config.drawAll.load()
        << "\n showCameraWin    : " << config.showCameraWin.load()
        << "\n detectionEnabled : " << config.detectionEnabled.load()
        << "\n invertX          : " << config.invertX.load()
        << "\n blur             : " << config.blur.load()
        << "\n cameraEnabled    : " << config.cameraEnabled.load() << std::endl;
}
