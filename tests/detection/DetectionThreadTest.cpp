// The detection worker driven by scripted frames. prepare stands in for init, which would also
// open the history window.

#include "detection/DetectionThread.hpp"
#include "DetectionTestSupport.hpp"
#include "core/Config.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <list>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

namespace {

struct Worker {
    testsupport::ScratchFolder folder; // with the cascade where the game looks for it
    Config config;
    testsupport::ScriptedSource* source;
    std::unique_ptr<DetectionThread> thread;
    std::ostringstream console;

    Worker(const cv::Mat& picture, int count) {
        std::filesystem::create_directory("classifier");
        std::filesystem::copy_file(testsupport::CASCADE, "classifier/haarcascade_eye.xml");
        auto scripted = std::make_unique<testsupport::ScriptedSource>(
            std::vector<cv::Mat>(count, picture), true);
        source = scripted.get();
        thread = std::make_unique<DetectionThread>(config, std::move(scripted));
        thread->setConsole(console);
    }
    // Without passes: until the worker ends by itself, then joined. The 30 s only stop a
    // broken worker.
    void run(int passes = 0) {
        ASSERT_TRUE(thread->prepare());
        thread->start();
        const auto done = [&] {
            return passes ? thread->passes() >= passes : thread->state() == Finished;
        };
        const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done() && std::chrono::steady_clock::now() < bound)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(done()) << passes << " passes";
        if (passes == 0)
            thread->join();
    }
    void stop() {
        thread->requestStop();
        thread->join();
    }
};

const cv::Mat grey(48, 64, CV_8UC3, cv::Scalar::all(90));

// A thread that never sleeps on every core, as other programs keep a shared machine busy.
struct BusyCores {
    BusyCores() {
        for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
            threads.emplace_back([this] {
                while (busy) {
                }
            });
    }
    ~BusyCores() {
        busy = false;
        for (std::thread& thread : threads)
            thread.join();
    }
    std::atomic<bool> busy{true};
    std::vector<std::thread> threads;
};
const std::string KEYS_HINT = "'\n You can still control game through keys\n";

// The console of a worker: notes the passes that write to it, and asks for a dump again while
// the first one is written, as the l key does when it is pressed during a pass.
struct AskingAgain : std::streambuf {
    explicit AskingAgain(DetectionThread& worker) : thread(worker) {}
    std::streamsize xsputn(const char*, std::streamsize size) override {
        if (passes.empty())
            thread.requestDump();
        passes.insert(thread.passes());
        return size;
    }
    int overflow(int c) override { return c; }
    DetectionThread& thread;
    std::set<int> passes;
};

} // namespace

// The first frame is the camera test; the two after it are detected, then the camera fails.
TEST(DetectionThreadLoop, EachPassPublishesItsSwayUntilTheFramesRunOut) {
    Worker worker(testsupport::facePicture(15), 3);
    worker.run();
    EXPECT_EQ(worker.console.str(),
              "WARN: Camera capture failed. You can still control game through keys\n");
    const int shift = worker.thread->takeShift();
    EXPECT_GT(shift, 0);
    EXPECT_EQ(worker.thread->takeShift(), 0) << "a value is taken once";
    ASSERT_EQ(worker.thread->history().entries().size(), 2u);
    EXPECT_EQ(worker.thread->history().entries().back().shift, shift);
}

// The one dump asked for before the first pass, then the one asked for during it.
TEST(DetectionThreadLoop, ADumpAskedForDuringAPassIsServedByTheNext) {
    Worker worker(grey, 100);
    AskingAgain asking(*worker.thread);
    std::ostream console(&asking);
    worker.thread->setConsole(console);
    worker.thread->requestDump();
    worker.run(3);
    worker.stop();
    EXPECT_EQ(asking.passes, (std::set<int>{0, 1}));
    EXPECT_FALSE(worker.thread->dumpRequested());
}

// Detection goes off during the first pass, as the k key switches it: that pass still
// publishes its sway, the passes after it read no frame, record 0 and leave the sway waiting.
TEST(DetectionThreadLoop, DetectionOffLeavesCameraIdleAndTheLastSwayWaiting) {
    Worker worker(testsupport::facePicture(15), 5);
    worker.source->onRead = [&](size_t index) {
        if (index == 1)
            worker.config.detectionEnabled = false;
    };
    worker.run(3);
    worker.stop();
    EXPECT_EQ(worker.source->reads, 2u); // the camera test and the first pass
    const std::list<HistoryEntry>& entries = worker.thread->history().entries();
    ASSERT_GE(entries.size(), 3u); // a pass may still end after the third
    EXPECT_GT(entries.back().shift, 0);
    EXPECT_EQ(entries.front().shift, 0);
    EXPECT_EQ(worker.thread->takeShift(), entries.back().shift);
}

// The bound of run is one of liveness, not a rate: a worker starved of processor time still
// slips a pass through now and then (a few a minute), one with its share makes 20 in seconds.
TEST(DetectionThreadUnderLoad, PassesGoOnWhileEveryCoreIsBusy) {
    // A webcam's frame with the face half its height.
    cv::Mat frame(480, 640, CV_8UC3, cv::Scalar::all(128));
    cv::resize(testsupport::facePicture(15), frame(cv::Rect(160, 120, 320, 240)), {320, 240});
    Worker worker(frame, 1000);
    const BusyCores busy;
    worker.run(20);
}

TEST(DetectionThreadFailure, ExceptionsEndTheWorkerWithWarning) {
    for (bool library : {true, false}) {
        // A one-channel frame cannot be converted from RGB: the library raises its exception.
        Worker worker(library ? cv::Mat(48, 64, CV_8UC1, cv::Scalar(90)) : grey, 3);
        worker.config.greyscale = library;
        worker.source->throwAt = library ? SIZE_MAX : 2;
        worker.run();
        const std::string out = worker.console.str();
        const std::string start = library ? "OpenCV" : "camera unplugged" + KEYS_HINT;
        EXPECT_EQ(out.rfind("WARN: Detection thread failed with message \n'" + start, 0), 0u);
        EXPECT_EQ(out.substr(out.size() - KEYS_HINT.size()), KEYS_HINT);
        EXPECT_FALSE(worker.config.cameraEnabled);
    }
}
