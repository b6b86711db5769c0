// The detection worker driven by scripted frames instead of a camera: what it publishes,
// what it records, and how it gives up. prepare stands in for init, which would also open
// the history window, so these run without a display.

#include "detection/DetectionThread.hpp"
#include "DetectionTestSupport.hpp"
#include "app/Config.hpp"

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

struct Worker {
    testsupport::ScratchFolder folder; // with the cascade where the game looks for it
    Config config;
    testsupport::ScriptedSource* source;
    std::unique_ptr<DetectionThread> thread;
    std::ostringstream console;

    Worker(const cv::Mat& picture, int count, bool opened = true) {
        std::filesystem::create_directory("classifier");
        std::filesystem::copy_file(testsupport::cascadeFile(), "classifier/haarcascade_eye.xml");
        auto scripted = std::make_unique<testsupport::ScriptedSource>(
            std::vector<cv::Mat>(count, picture), opened);
        source = scripted.get();
        thread = std::make_unique<DetectionThread>(config, std::move(scripted));
        thread->setConsole(console);
    }
    // Until the worker ends by itself: the scripted camera runs dry or something fails.
    void runToEnd() {
        ASSERT_TRUE(thread->prepare());
        thread->start();
        thread->join();
    }
    // Polls until the worker has made the passes; the bound only stops a broken worker.
    void startAndWaitFor(int passes) {
        ASSERT_TRUE(thread->prepare());
        thread->start();
        for (int i = 0; i < 20000 && thread->passes < passes; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_GE(thread->passes, passes);
    }
};

const cv::Mat grey(48, 64, CV_8UC3, cv::Scalar::all(90));
const std::string KEYS_HINT = "'\n You can still control game through keys\n";

} // namespace

TEST(DetectionThreadInit, MissingCascadeFailsBeforeAnyWindow) {
    testsupport::ScratchFolder emptyFolder;
    Config config;
    DetectionThread thread(
        config, std::make_unique<testsupport::ScriptedSource>(std::vector<cv::Mat>{grey}, true));
    std::ostringstream console;
    thread.setConsole(console);
    EXPECT_FALSE(thread.init()); // a window call here would abort without a display
    EXPECT_EQ(console.str(), "ERROR: Can't load detector :\\\n");
}

TEST(DetectionThreadInit, NoCameraWarnsAndTheWorkerEndsAtOnce) {
    for (bool opened : {false, true}) { // closed, or open without a first frame
        Worker worker(grey, 0, opened);
        EXPECT_TRUE(worker.thread->init());
        EXPECT_FALSE(worker.config.cameraEnabled);
        worker.thread->start();
        worker.thread->join();
        EXPECT_EQ(worker.thread->passes, 0);
        EXPECT_EQ(worker.console.str(),
                  "WARN: Can't initialize camera - not that fun! Use keys to control car!\n");
    }
}

TEST(DetectionThreadLoop, SwayReachesPendingShiftUntilTheCameraFails) {
    const cv::Mat tilted = testsupport::tilted(testsupport::facePicture(), 15);
    Config config;
    EyeDetector reference(&config);
    reference.cascade.load(testsupport::cascadeFile());
    cv::Mat marks = tilted.clone();
    const int sway = reference.detect(tilted, marks, false);
    ASSERT_NE(sway, 0);
    Worker worker(tilted, 4); // the first frame is the camera test
    worker.runToEnd();
    EXPECT_EQ(worker.thread->pendingShift, sway);
    ASSERT_EQ(worker.thread->history.entries.size(), 3u);
    EXPECT_EQ(worker.thread->history.entries.back().shift, sway);
    EXPECT_EQ(worker.console.str(),
              "WARN: Camera capture failed. You can still control game through keys\n");
    EXPECT_FALSE(worker.thread->running);
    EXPECT_FALSE(worker.config.cameraEnabled);
}

TEST(DetectionThreadLoop, DetectionOffLeavesCameraIdleAndRecordsZeros) {
    Worker worker(testsupport::facePicture(), 5);
    worker.config.detectionEnabled = false;
    worker.thread->pendingShift = 77;
    worker.startAndWaitFor(3);
    worker.thread->running = false;
    worker.thread->join();
    EXPECT_EQ(worker.source->reads, 1u); // the camera test only
    EXPECT_EQ(worker.thread->pendingShift, 77);
    for (const HistoryEntry& entry : worker.thread->history.entries) {
        EXPECT_EQ(entry.shift, 0);
    }
    EXPECT_EQ(worker.console.str(), "");
}

TEST(DetectionThreadLoop, HistoryKeepsExactly100Entries) {
    Worker worker(grey, 122);
    worker.runToEnd();
    EXPECT_EQ(worker.thread->passes, 121);
    EXPECT_EQ(worker.thread->history.entries.size(), 100u);
    EXPECT_EQ(worker.thread->historyImage.at<cv::Vec3b>(399, 65), cv::Vec3b(0, 255, 255));
}

TEST(DetectionThreadLoop, DestroyingARunningWorkerStopsIt) {
    Worker worker(grey, 100000);
    worker.startAndWaitFor(2);
    worker.thread.reset(); // neither hangs nor touches freed members
}

TEST(DetectionThreadDump, OneRequestOneDumpThenCleared) {
    Worker worker(testsupport::facePicture(), 4);
    worker.thread->dumpInfo = true;
    worker.thread->dumpInfoRenewed = true;
    worker.runToEnd();
    const std::string out = worker.console.str();
    const size_t dump = out.find(" dump to file 'image_");
    ASSERT_NE(dump, std::string::npos) << out;
    EXPECT_EQ(out.find(" dump to file", dump + 1), std::string::npos) << out;
    EXPECT_EQ(out.find("'\ndumpInfo - cleared\nWARN"), out.find("'\n", dump)) << out;
    EXPECT_FALSE(worker.thread->dumpInfo);
    EXPECT_EQ(worker.folder.files().size(), 2u); // the classifier folder and one picture
}

TEST(DetectionThreadFailure, LibraryExceptionEndsTheWorkerWithWarning) {
    // A one-channel frame cannot be converted from RGB: the library raises its exception.
    Worker worker(cv::Mat(48, 64, CV_8UC1, cv::Scalar(90)), 3);
    worker.config.greyscale = true;
    worker.runToEnd();
    const std::string out = worker.console.str();
    EXPECT_EQ(out.rfind("WARN: Detection thread failed with message \n'OpenCV", 0), 0u) << out;
    EXPECT_NE(out.find("Invalid number of channels"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - KEYS_HINT.size()), KEYS_HINT);
    EXPECT_FALSE(worker.thread->running);
    EXPECT_FALSE(worker.config.cameraEnabled);
}

TEST(DetectionThreadFailure, OtherExceptionsAreCaughtAsWell) {
    Worker worker(grey, 3);
    worker.source->onRead = [](size_t index) {
        if (index == 2) {
            throw std::runtime_error("camera unplugged");
        }
    };
    worker.runToEnd();
    EXPECT_EQ(worker.console.str(),
              "WARN: Detection thread failed with message \n'camera unplugged" + KEYS_HINT);
    EXPECT_FALSE(worker.config.cameraEnabled);
}
