// Cost of one detection pass on a camera-sized frame, against the cascade call alone: the
// pairing, tracking and drawing around the cascade should be lost in its noise.
// Run from the repository root (the test face and the cascade are found from there).
// The library works on one thread here, so that the measured CPU time is the whole work of a
// pass even while other programs share the machine.

#include "core/Config.hpp"
#include "detection/EyeDetector.hpp"

#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>

#include <fstream>
#include <string>

namespace {

std::string cascadePath() {
    const Config config;
    if (std::ifstream(config.cascadePath).good()) {
        return config.cascadePath;
    }
    return "/usr/share/opencv4/haarcascades/haarcascade_eye.xml";
}

// The test face in the middle of a 640 by 480 grey frame. When the picture is missing the
// benchmark is marked as failed and the frame is empty.
cv::Mat faceFrame(benchmark::State& state) {
    cv::setNumThreads(1);
    const cv::Mat face = cv::imread("tests/data/astronaut-face.png", cv::IMREAD_COLOR);
    if (face.empty()) {
        state.SkipWithError(
            "tests/data/astronaut-face.png not found: run from the repository root");
        return cv::Mat();
    }
    cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(128, 128, 128));
    face.copyTo(frame(cv::Rect(200, 150, face.cols, face.rows)));
    return frame;
}

void BM_DetectFace640x480(benchmark::State& state) {
    const cv::Mat source = faceFrame(state);
    if (source.empty()) {
        return;
    }
    Config config;
    EyeDetector detector(&config);
    detector.loadCascade(cascadePath());
    // The marks go to a second image, so every pass searches the same clean frame as the
    // bare cascade call below.
    cv::Mat marks = source.clone();
    detector.detect(source, marks, false); // the pair is tracked from here on
    if (detector.trackedEyes().size() != 2) {
        state.SkipWithError("no eye pair in the test frame");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(detector.detect(source, marks, false));
    }
}
BENCHMARK(BM_DetectFace640x480)->Unit(benchmark::kMillisecond);

void BM_CascadeOnly640x480(benchmark::State& state) {
    const cv::Mat source = faceFrame(state);
    if (source.empty()) {
        return;
    }
    cv::CascadeClassifier cascade(cascadePath());
    std::vector<cv::Rect> objects;
    for (auto _ : state) {
        cascade.detectMultiScale(source, objects, 1.1, 3, 0, cv::Size(0, 0), cv::Size(0, 0));
        benchmark::DoNotOptimize(objects.data());
    }
}
BENCHMARK(BM_CascadeOnly640x480)->Unit(benchmark::kMillisecond);

} // namespace
