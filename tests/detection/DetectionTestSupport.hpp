#pragma once
// Shared by the detection tests: the test face, the cascade, a scratch working folder and a
// scripted frame source.

#include "detection/FrameSource.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <atomic>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

// The copy the game's setup takes its cascade from.
const std::string CASCADE = "/usr/share/opencv4/haarcascades/haarcascade_eye.xml";

// The eyes sit near (102, 80) and (146, 84); turned counter-clockwise about (120, 80).
inline cv::Mat facePicture(double degrees = 0) {
    const cv::Mat picture = cv::imread(DRAVOLT_TEST_DATA "/astronaut-face.png");
    cv::Mat turned;
    cv::warpAffine(picture, turned, cv::getRotationMatrix2D({120, 80}, degrees, 1.0),
                   picture.size());
    return turned;
}

// A fresh working directory for the life of the object.
struct ScratchFolder {
    ScratchFolder() { std::filesystem::current_path(path); }
    ~ScratchFolder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
    size_t files() const { return std::distance(std::filesystem::directory_iterator(path), {}); }
    std::string pattern = "/tmp/dravolt-detection-XXXXXX";
    const std::filesystem::path previous = std::filesystem::current_path();
    const std::filesystem::path path = mkdtemp(pattern.data());
};

// Plays its frames once, then empty images like an unplugged camera; or throws at one read.
// onRead, when set, is called with each read's index before the frame is handed out.
struct ScriptedSource : FrameSource {
    ScriptedSource(std::vector<cv::Mat> pictures, bool opened)
        : frames(std::move(pictures)), open(opened) {}
    bool isOpened() const override { return open; }
    void read(cv::Mat& frame) override {
        const size_t index = reads++;
        if (index == throwAt)
            throw std::runtime_error("camera unplugged");
        if (onRead)
            onRead(index);
        frame = index < frames.size() ? frames[index].clone() : cv::Mat();
    }
    std::vector<cv::Mat> frames;
    bool open;
    std::atomic<size_t> reads{0};
    size_t throwAt = SIZE_MAX;
    std::function<void(size_t)> onRead;
};

} // namespace testsupport
