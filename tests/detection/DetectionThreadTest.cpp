// The detection worker driven by scripted frames instead of a camera: what it publishes,
// what it records, and how it gives up. The windows are left out (prepare instead of init),
// so these run without a display.

#include "detection/DetectionThread.hpp"
#include "DetectionTestSupport.hpp"
#include "app/Config.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

using testsupport::ScriptedSource;

// A working folder with the cascade where the game looks for it.
struct GameFolder : testsupport::ScratchFolder {
    GameFolder() {
        std::filesystem::create_directory("classifier");
        std::filesystem::copy_file(testsupport::cascadeFile(), "classifier/haarcascade_eye.xml");
    }
};

struct Worker {
    GameFolder folder;
    Config config;
    ScriptedSource* source;
    std::unique_ptr<DetectionThread> thread;
    std::ostringstream console;

    explicit Worker(std::vector<cv::Mat> frames, bool opened = true) {
        auto scripted = std::make_unique<ScriptedSource>(std::move(frames), opened);
        source = scripted.get();
        thread = std::make_unique<DetectionThread>(config, std::move(scripted));
        thread->setConsole(console);
    }
    // Waits for the worker to end by itself (the scripted camera runs dry).
    void runToEnd() {
        ASSERT_TRUE(thread->prepare());
        thread->start();
        thread->join();
    }
};

std::vector<cv::Mat> copies(const cv::Mat& picture, int count) {
    return std::vector<cv::Mat>(count, picture);
}

// Polls until the condition holds; the bound only stops a broken worker from hanging the test.
template <typename Condition> bool eventually(Condition condition) {
    for (int i = 0; i < 20000; ++i) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

int expectedSway(const cv::Mat& picture) {
    Config config;
    EyeDetector detector(&config);
    detector.cascade.load(testsupport::cascadeFile());
    cv::Mat copy = picture.clone();
    return detector.detect(copy, copy, false);
}

const char* const CAPTURE_FAILED =
    "WARN: Camera capture failed. You can still control game through keys\n";

} // namespace

TEST(DetectionThreadInit, MissingCascadeFailsBeforeAnyWindow) {
    testsupport::ScratchFolder emptyFolder;
    Config config;
    DetectionThread thread(config,
                           std::make_unique<ScriptedSource>(copies(testsupport::facePicture(), 2)));
    std::ostringstream console;
    thread.setConsole(console);
    // init itself: without a display a window call would abort the test.
    EXPECT_FALSE(thread.init());
    EXPECT_EQ(console.str(), "ERROR: Can't load detector :\\\n");
    EXPECT_TRUE(thread.detector.drawSuppressed);
}

TEST(DetectionThreadInit, NoCameraWarnsAndTheWorkerEndsAtOnce) {
    const std::string warning =
        "WARN: Can't initialize camera - not that fun! Use keys to control car!\n";
    for (bool opened : {false, true}) {
        // Closed, or open without a first frame.
        Worker worker({}, opened);
        EXPECT_TRUE(worker.thread->init()) << opened;
        EXPECT_EQ(worker.console.str(), warning) << opened;
        EXPECT_FALSE(worker.config.cameraEnabled);
        worker.thread->start();
        worker.thread->join();
        EXPECT_EQ(worker.thread->state, Finished);
        EXPECT_EQ(worker.thread->passes, 0);
        EXPECT_EQ(worker.console.str(), warning);
    }
}

TEST(DetectionThreadLoop, SwayReachesPendingShiftAndHistory) {
    const cv::Mat tilted = testsupport::tilted(testsupport::facePicture(), 15);
    const int sway = expectedSway(tilted);
    ASSERT_NE(sway, 0);
    Worker worker(copies(tilted, 4)); // the first one is the camera test
    worker.thread->pendingShift = 0;
    worker.runToEnd();
    EXPECT_EQ(worker.thread->pendingShift, sway);
    ASSERT_EQ(worker.thread->history.entries.size(), 3u);
    for (const HistoryEntry& entry : worker.thread->history.entries) {
        EXPECT_EQ(entry.shift, sway);
    }
    // The source running dry ends the worker with the warning, and keys take over.
    EXPECT_EQ(worker.console.str(), CAPTURE_FAILED);
    EXPECT_FALSE(worker.thread->running);
    EXPECT_FALSE(worker.config.cameraEnabled);
    EXPECT_EQ(worker.thread->state, Finished);
}

TEST(DetectionThreadLoop, GreyscaleConvertsTheFrameInPlace) {
    const cv::Mat tilted = testsupport::tilted(testsupport::facePicture(), 15);
    cv::Mat grey;
    cv::cvtColor(tilted, grey, cv::COLOR_RGB2GRAY);
    Worker worker(copies(tilted, 2));
    worker.config.greyscale = true;
    worker.runToEnd();
    EXPECT_EQ(worker.thread->pendingShift, expectedSway(grey));
    EXPECT_EQ(worker.thread->frame.type(), CV_8UC1);
}

TEST(DetectionThreadLoop, DetectionOffLeavesCameraIdleAndRecordsZeros) {
    Worker worker(copies(testsupport::facePicture(), 5));
    worker.config.detectionEnabled = false;
    worker.thread->pendingShift = 77;
    ASSERT_TRUE(worker.thread->prepare());
    worker.thread->start();
    EXPECT_TRUE(eventually([&] { return worker.thread->passes >= 3; }));
    worker.thread->running = false;
    worker.thread->join();
    EXPECT_EQ(worker.source->reads, 1); // the camera test only
    EXPECT_EQ(worker.thread->pendingShift, 77);
    EXPECT_GE(worker.thread->history.entries.size(), 3u);
    for (const HistoryEntry& entry : worker.thread->history.entries) {
        EXPECT_EQ(entry.shift, 0);
    }
    EXPECT_EQ(worker.console.str(), "");
    EXPECT_TRUE(worker.config.cameraEnabled);
}

TEST(DetectionThreadLoop, HistoryKeepsExactly100Entries) {
    Worker worker(copies(cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(90)), 122));
    worker.runToEnd();
    EXPECT_EQ(worker.thread->passes, 121);
    EXPECT_EQ(worker.thread->history.entries.size(), 100u);
    // The graph was drawn into its own canvas.
    EXPECT_EQ(worker.thread->historyImage.size(), cv::Size(130, 400));
    EXPECT_EQ(worker.thread->historyImage.at<cv::Vec3b>(399, 65), cv::Vec3b(0, 255, 255));
}

TEST(DetectionThreadLoop, StopsWhenRunningIsCleared) {
    Worker worker(copies(cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(90)), 100000));
    ASSERT_TRUE(worker.thread->prepare());
    worker.thread->start();
    EXPECT_TRUE(eventually([&] { return worker.thread->passes >= 2; }));
    worker.thread->running = false;
    worker.thread->join();
    EXPECT_EQ(worker.console.str(), "");
    EXPECT_TRUE(worker.config.cameraEnabled);

    // Destroying a worker nobody stopped stops it rather than hanging.
    Worker forgotten(copies(cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(90)), 100000));
    ASSERT_TRUE(forgotten.thread->prepare());
    forgotten.thread->start();
    EXPECT_TRUE(eventually([&] { return forgotten.thread->passes >= 1; }));
    forgotten.thread.reset();
}

TEST(DetectionThreadDump, OneRequestOneDumpThenCleared) {
    Worker worker(copies(testsupport::facePicture(), 4));
    worker.thread->dumpInfo = true;
    worker.thread->dumpInfoRenewed = true;
    worker.runToEnd();
    const std::string out = worker.console.str();
    const size_t dump = out.find(" dump to file 'image_");
    const size_t cleared = out.find("dumpInfo - cleared\n");
    ASSERT_NE(dump, std::string::npos) << out;
    ASSERT_NE(cleared, std::string::npos) << out;
    EXPECT_LT(dump, cleared);
    EXPECT_EQ(out.find(" dump to file", dump + 1), std::string::npos) << out;
    EXPECT_EQ(out.find("dumpInfo - cleared", cleared + 1), std::string::npos);
    EXPECT_FALSE(worker.thread->dumpInfo);
    int pictures = 0;
    for (const std::string& name : worker.folder.files()) {
        pictures += name.rfind("image_", 0) == 0;
    }
    EXPECT_EQ(pictures, 1);
}

TEST(DetectionThreadFailure, LibraryExceptionEndsTheWorkerWithWarning) {
    // A one-channel frame cannot be converted from RGB: the library raises its exception.
    Worker worker(copies(cv::Mat(48, 64, CV_8UC1, cv::Scalar(90)), 3));
    worker.config.greyscale = true;
    worker.runToEnd();
    const std::string out = worker.console.str();
    EXPECT_EQ(out.rfind("WARN: Detection thread failed with message \n'", 0), 0u) << out;
    EXPECT_NE(out.find("Invalid number of channels"), std::string::npos) << out;
    const std::string ending = "'\n You can still control game through keys\n";
    ASSERT_GE(out.size(), ending.size());
    EXPECT_EQ(out.substr(out.size() - ending.size()), ending);
    EXPECT_FALSE(worker.thread->running);
    EXPECT_FALSE(worker.config.cameraEnabled);
    EXPECT_EQ(worker.thread->state, Finished);
}

TEST(DetectionThreadFailure, OtherExceptionsAreCaughtAsWell) {
    Worker worker(copies(testsupport::facePicture(), 3));
    worker.source->onRead = [](int index) {
        if (index == 2) {
            throw std::runtime_error("camera unplugged");
        }
    };
    worker.runToEnd();
    EXPECT_EQ(worker.console.str(), "WARN: Detection thread failed with message \n'camera "
                                    "unplugged'\n You can still control game through keys\n");
    EXPECT_FALSE(worker.config.cameraEnabled);
    EXPECT_EQ(worker.thread->history.entries.size(), 1u);
}

TEST(ImageSlot, HandsOverEachNewPictureOnce) {
    ImageSlot slot;
    cv::Mat taken;
    EXPECT_FALSE(slot.take(taken));
    cv::Mat drawing(4, 4, CV_8UC1, cv::Scalar(1));
    slot.put(drawing);
    drawing.setTo(2); // the writer goes on drawing into its own picture
    ASSERT_TRUE(slot.take(taken));
    EXPECT_EQ(taken.at<uchar>(0, 0), 1);
    EXPECT_FALSE(slot.take(taken));
    slot.put(drawing);
    slot.put(drawing.setTo(3));
    slot.put(drawing);
    slot.clear();
    EXPECT_FALSE(slot.take(taken));
}
