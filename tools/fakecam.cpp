// The whole game with a stand-in camera: the frames of the given pictures and videos, played
// in a loop at 30 a second. For trying the head steering without a webcam.
//
//   dravolt-fakecam [--queue] [--ages FILE] FILE...
//   --queue       frames wait in a queue of four, as a webcam driver keeps them, instead of
//                 being made when the game asks for one
//   --ages FILE   writes the age of every frame the game takes: a line each, the wall-clock
//                 time in nanoseconds and the age in microseconds (for bench/framerate.sh)

#include "app/MainLoop.hpp"
#include "core/Clock.hpp"
#include "detection/FileFrameSource.hpp"
#include "detection/NewestFrameSource.hpp"
#include "detection/QueuedSource.hpp"

#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr double FRAMES_PER_SECOND = 30.0;

// Notes how old each frame is when the game takes it.
class AgeLog : public FrameSource {
public:
    AgeLog(std::unique_ptr<FrameSource> source, const std::string& file)
        : camera(std::move(source)), out(file) {}
    bool isOpened() const override { return camera->isOpened(); }
    void read(cv::Mat& frame) override {
        camera->read(frame);
        if (!frame.empty() && camera->capturedMicros() != 0) {
            const auto wall = std::chrono::system_clock::now().time_since_epoch();
            out << std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count() << ' '
                << nowMicros() - camera->capturedMicros() << '\n';
        }
    }
    int64_t capturedMicros() const override { return camera->capturedMicros(); }

private:
    std::unique_ptr<FrameSource> camera;
    std::ofstream out;
};

int usage() {
    std::cerr << "usage: dravolt-fakecam [--queue] [--ages FILE] FILE...\n";
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    bool queued = false;
    std::string ages;
    int first = 1;
    for (; first < argc && std::strncmp(argv[first], "--", 2) == 0; ++first) {
        if (std::strcmp(argv[first], "--queue") == 0) {
            queued = true;
        } else if (std::strcmp(argv[first], "--ages") == 0 && first + 1 < argc) {
            ages = argv[++first];
        } else {
            return usage();
        }
    }
    if (first == argc) {
        return usage();
    }
    const std::vector<std::string> files(argv + first, argv + argc);
    {
        FileFrameSource check(files);
        if (!check.isOpened()) {
            std::cerr << "dravolt-fakecam: cannot read '" << check.failedFile()
                      << "' as a picture or a video\n";
            return 1;
        }
    }
    CameraFactory factory = [files, queued, ages] {
        std::unique_ptr<FrameSource> camera;
        if (queued) {
            camera = std::make_unique<QueuedSource>(std::make_unique<FileFrameSource>(files, true),
                                                    FRAMES_PER_SECOND);
        } else {
            camera = std::make_unique<FileFrameSource>(files, true, FRAMES_PER_SECOND);
        }
        // As the game's camera: each pass takes the newest frame.
        camera = std::make_unique<NewestFrameSource>(std::move(camera));
        if (!ages.empty()) {
            camera = std::make_unique<AgeLog>(std::move(camera), ages);
        }
        return camera;
    };
    return runMain(factory);
}
