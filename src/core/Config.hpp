#pragma once
// The run-time switches, created once by the main loop and shared by reference with the
// detection thread and the eye detector. The switches are toggled by keys on the main
// thread while the worker reads them (and clears cameraEnabled when the camera fails),
// so each is an atomic value; no ordering between them is relied on.

#include <atomic>
#include <string>
#include <utility>

class Config {
public:
    // The cascade as the game finds it (GamePaths); the checkout's copy by default.
    explicit Config(std::string cascade = "classifier/haarcascade_eye.xml")
        : cascadePath(std::move(cascade)) {}

    std::atomic<bool> greyscale{false};
    std::atomic<bool> adaptiveThreshold{false}; // printed with the settings only
    std::atomic<bool> drawAll{true};
    std::atomic<bool> showCameraWin{false};
    std::atomic<bool> detectionEnabled{true};
    std::atomic<int> keyStep{0}; // step of the n and m keys, taken by the next frame
    std::atomic<bool> invertX{true};
    std::atomic<bool> blur{true};
    std::atomic<bool> cameraEnabled{true};
    const std::string cascadePath;
};
