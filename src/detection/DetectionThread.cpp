#include "detection/DetectionThread.hpp"

#include "detection/BackgroundPriority.hpp"
#include "detection/CameraSource.hpp"
#include "detection/NewestFrameSource.hpp"
#include "windows/WindowCheck.hpp"

#include <opencv2/highgui.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <ctime>
#include <thread>

DetectionThread::DetectionThread(Config& settings)
    : DetectionThread(settings,
                      std::make_unique<NewestFrameSource>(std::make_unique<CameraSource>(0))) {}

DetectionThread::DetectionThread(Config& settings, std::unique_ptr<FrameSource> source)
    : config(&settings), detector(&settings), camera(std::move(source)),
      historyImage(400, 130, CV_8UC3, cv::Scalar(0, 0, 0)),
      cameraWindowHidden(settings.showCameraWin ? 0 : 1) {}

DetectionThread::~DetectionThread() {
    // The base class would join only after the members below are gone, while a running
    // worker still uses them; and a worker nobody stops never ends.
    running = false;
    if (joinable()) {
        join();
    }
}

void DetectionThread::stop(bool serviceWindows) {
    running = false;
    if (!joinable()) {
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    while (state == Running) {
        *console << "Waiting for detector thread to exit .. \n";
        if (serviceWindows) {
            cv::waitKey(25);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }
    join();
}

void DetectionThread::setConsole(std::ostream& stream) {
    console = &stream;
    detector.setConsole(stream);
}

bool DetectionThread::prepare() {
    if (!detector.loadCascade(config->cascadePath)) {
        *console << "ERROR: Can't load detector :\\" << std::endl;
        return false;
    }

    if (camera && camera->isOpened()) {
        camera->read(frame);
    }
    if (!camera || !camera->isOpened() || frame.empty()) {
        *console << "WARN: Can't initialize camera - not that fun! Use keys to control car!"
                 << std::endl;
        config->cameraEnabled = false;
    }
    return true;
}

bool DetectionThread::init() {
    if (!prepare()) {
        return false;
    }
    if (config->cameraEnabled) {
        cv::namedWindow(historyWindowName, cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL);
        historyWindowOpen = true;
    }
    return true;
}

void DetectionThread::updateCameraWindow() {
    if (config->showCameraWin) {
        // The window exists before the worker may hand pictures for it.
        cv::namedWindow(cameraWindowName, cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL);
        cameraPicture.clear();
        cameraWindowHidden = 0;
    } else {
        // The worker stops handing pictures before the window goes, and a picture already
        // handed over is dropped, as showing it would create the window again.
        cameraWindowHidden = 1;
        cameraPicture.clear();
        cv::destroyWindow(cameraWindowName);
    }
}

bool DetectionThread::showWindows() {
    cv::Mat picture;
    if (historyWindowOpen && !windowShown(historyWindowName)) {
        historyWindowOpen = false;
    }
    if (historyWindowOpen && historyPicture.take(picture)) {
        cv::imshow(historyWindowName, picture);
    }
    if (cameraWindowHidden != 0) {
        return false;
    }
    if (!windowShown(cameraWindowName)) {
        return true;
    }
    if (cameraPicture.take(picture)) {
        cv::imshow(cameraWindowName, picture);
    }
    return false;
}

void DetectionThread::run() {
    // Any exception that left run would end the whole program; the game can do without
    // the camera.
    try {
        // While the camera works, detection takes its fair share of the processor without
        // pushing the frame loop off its core.
        std::unique_ptr<BackgroundPriority> priority;
        if (config->cameraEnabled) {
            priority = std::make_unique<BackgroundPriority>();
        }
        loop();
    } catch (const cv::Exception& error) {
        fail(error.what());
    } catch (const std::exception& error) {
        fail(error.what());
    } catch (...) {
        fail("unknown exception");
    }
}

void DetectionThread::fail(const std::string& message) {
    *console << "WARN: Detection thread failed with message \n'" << message
             << "'\n You can still control game through keys" << std::endl;
    running = false;
    config->cameraEnabled = false;
}

void DetectionThread::loop() {
    while (running) {
        if (!config->cameraEnabled) {
            break;
        }
        int value = 0;
        if (config->detectionEnabled) {
            camera->read(frame);
            if (frame.empty()) {
                running = false;
                config->cameraEnabled = false;
                *console << "WARN: Camera capture failed. You can still control game through keys"
                         << std::endl;
                break;
            }
            if (config->greyscale) {
                cv::cvtColor(frame, frame, cv::COLOR_RGB2GRAY);
            }
            dumpInfoRenewed = false;
            // The request as this detection saw it: one that arrives later waits for the next.
            const bool dumping = dumpInfo;
            value = detector.detect(frame, frame, dumping);
            pendingShift = value;
            if (dumping && !dumpInfoRenewed) {
                *console << "dumpInfo - cleared\n";
                dumpInfo = false;
            }
            if (cameraWindowHidden == 0) {
                cameraPicture.put(frame);
            }
        } else {
            // The camera rests while nobody steers by it.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }

        history.add(value, static_cast<int64_t>(std::time(nullptr)));
        history.draw(historyImage);
        historyPicture.put(historyImage);
        ++passes;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
