// Prints the steering value the game would take from each frame of the given pictures and
// videos, one line per frame, so a recorded head sway can be checked without the game.
// Runs from the game's folder: the cascade is read from the same relative path.

#include "core/Config.hpp"
#include "detection/EyeDetector.hpp"
#include "detection/FileFrameSource.hpp"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: dravolt-sway FILE...\n";
        return 1;
    }
    FileFrameSource source(std::vector<std::string>(argv + 1, argv + argc));
    if (!source.isOpened()) {
        std::cerr << "dravolt-sway: cannot read '" << source.failedFile()
                  << "' as a picture or a video\n";
        return 1;
    }

    Config config;
    EyeDetector detector(&config);
    if (!detector.loadCascade(config.cascadePath)) {
        std::cerr << "dravolt-sway: cannot load the eye cascade '" << config.cascadePath << "'\n";
        return 1;
    }

    cv::Mat frame;
    for (source.read(frame); !frame.empty(); source.read(frame)) {
        std::cout << detector.detect(frame, frame, false) << "\n";
    }
    return 0;
}
