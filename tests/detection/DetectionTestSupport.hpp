#pragma once
// Helpers shared by the detection tests: the test pictures, the eye cascade, a scratch
// working folder and a scripted frame source.

#include "detection/FrameSource.hpp"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace testsupport {

inline std::string dataPath(const std::string& name) {
    return std::string(DRAVOLT_TEST_DATA) + "/" + name;
}
// The eyes sit near (102, 80) and (146, 84).
inline cv::Mat facePicture() {
    return cv::imread(dataPath("astronaut-face.png"));
}
inline cv::Mat noFacePicture() {
    return cv::imread(dataPath("astronaut-noface.png"));
}

// The face turned counter-clockwise by degrees about the point between the eyes.
inline cv::Mat tilted(const cv::Mat& picture, double degrees) {
    cv::Mat turned;
    cv::warpAffine(picture, turned, cv::getRotationMatrix2D(cv::Point2f(120, 80), degrees, 1.0),
                   picture.size());
    return turned;
}

// The game's cascade next to the sources, else the system's copy of the same file.
inline std::string cascadeFile() {
    const std::string local = std::string(DRAVOLT_SOURCE_DIR) + "/classifier/haarcascade_eye.xml";
    return std::ifstream(local).good() ? local
                                       : "/usr/share/opencv4/haarcascades/haarcascade_eye.xml";
}

// A fresh folder as the working directory for the life of the object.
struct ScratchFolder {
    ScratchFolder() {
        char pattern[] = "/tmp/dravolt-detection-XXXXXX";
        path = mkdtemp(pattern);
        std::filesystem::current_path(path);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(path);
    }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::path path;
};

// Plays its frames once, then delivers empty images like an unplugged camera. onRead runs on
// the reading thread before each frame and may throw.
struct ScriptedSource : FrameSource {
    ScriptedSource(std::vector<cv::Mat> pictures, bool opened)
        : frames(std::move(pictures)), open(opened) {}
    bool isOpened() const override { return open; }
    void read(cv::Mat& frame) override {
        const size_t index = reads++;
        if (onRead) {
            onRead(index);
        }
        frame = index < frames.size() ? frames[index].clone() : cv::Mat();
    }
    std::vector<cv::Mat> frames;
    bool open;
    std::atomic<size_t> reads{0};
    std::function<void(size_t)> onRead;
};

} // namespace testsupport
