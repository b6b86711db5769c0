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
    : m_config(&settings), m_detector(&settings), m_camera(std::move(source)),
      m_historyImage(400, 130, CV_8UC3, cv::Scalar(0, 0, 0)),
      m_cameraWindowHidden(settings.showCameraWin ? 0 : 1) {}

DetectionThread::~DetectionThread() {
    // The base class would join only after the members below are gone, while a running
    // worker still uses them; and a worker nobody stops never ends.
    requestStop();
    if (joinable()) {
        join();
    }
}

void DetectionThread::stop(bool serviceWindows) {
    requestStop();
    if (!joinable()) {
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    while (state() == Running) {
        *m_console << "Waiting for detector thread to exit .. \n";
        if (serviceWindows) {
            cv::waitKey(25);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
    }
    join();
}

void DetectionThread::setConsole(std::ostream& stream) {
    m_console = &stream;
    m_detector.setConsole(stream);
}

void DetectionThread::requestDump() {
    m_dumpInfo = true;
    m_dumpInfoRenewed = true;
}

bool DetectionThread::prepare() {
    if (!m_detector.loadCascade(m_config->cascadePath)) {
        *m_console << "ERROR: Can't load detector :\\" << std::endl;
        return false;
    }

    if (m_camera && m_camera->isOpened()) {
        m_camera->read(m_frame);
    }
    if (!m_camera || !m_camera->isOpened() || m_frame.empty()) {
        *m_console << "WARN: Can't initialize camera - not that fun! Use keys to control car!"
                   << std::endl;
        m_config->cameraEnabled = false;
    }
    return true;
}

bool DetectionThread::init() {
    if (!prepare()) {
        return false;
    }
    if (m_config->cameraEnabled) {
        cv::namedWindow(historyWindowName, cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL);
        m_historyWindowOpen = true;
    }
    return true;
}

void DetectionThread::updateCameraWindow() {
    if (m_config->showCameraWin) {
        // The window exists before the worker may hand pictures for it.
        cv::namedWindow(cameraWindowName, cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL);
        m_cameraPicture.clear();
        m_cameraWindowHidden = 0;
    } else {
        // The worker stops handing pictures before the window goes, and a picture already
        // handed over is dropped, as showing it would create the window again.
        m_cameraWindowHidden = 1;
        m_cameraPicture.clear();
        cv::destroyWindow(cameraWindowName);
    }
}

CameraWindow DetectionThread::showWindows() {
    cv::Mat picture;
    if (m_historyWindowOpen && !windowShown(historyWindowName)) {
        m_historyWindowOpen = false;
    }
    if (m_historyWindowOpen && m_historyPicture.take(picture)) {
        cv::imshow(historyWindowName, picture);
    }
    if (m_cameraWindowHidden != 0) {
        return CameraWindow::AsSwitched;
    }
    if (!windowShown(cameraWindowName)) {
        return CameraWindow::Closed;
    }
    if (m_cameraPicture.take(picture)) {
        cv::imshow(cameraWindowName, picture);
    }
    return CameraWindow::AsSwitched;
}

void DetectionThread::run() {
    // Any exception that left run would end the whole program; the game can do without
    // the camera.
    try {
        // While the camera works, detection takes its fair share of the processor without
        // pushing the frame loop off its core.
        std::unique_ptr<BackgroundPriority> priority;
        if (m_config->cameraEnabled) {
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
    *m_console << "WARN: Detection thread failed with message \n'" << message
               << "'\n You can still control game through keys" << std::endl;
    m_running = false;
    m_config->cameraEnabled = false;
}

void DetectionThread::loop() {
    while (m_running) {
        if (!m_config->cameraEnabled) {
            break;
        }
        int value = 0;
        if (m_config->detectionEnabled) {
            m_camera->read(m_frame);
            if (m_frame.empty()) {
                m_running = false;
                m_config->cameraEnabled = false;
                *m_console << "WARN: Camera capture failed. You can still control game through keys"
                           << std::endl;
                break;
            }
            if (m_config->greyscale) {
                cv::cvtColor(m_frame, m_frame, cv::COLOR_RGB2GRAY);
            }
            m_dumpInfoRenewed = false;
            // The request as this detection saw it: one that arrives later waits for the next.
            const bool dumping = m_dumpInfo;
            value = m_detector.detect(m_frame, m_frame, dumping);
            m_pendingShift = value;
            if (dumping && !m_dumpInfoRenewed) {
                *m_console << "dumpInfo - cleared\n";
                m_dumpInfo = false;
            }
            if (m_cameraWindowHidden == 0) {
                m_cameraPicture.put(m_frame);
            }
        } else {
            // The camera rests while nobody steers by it.
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }

        m_history.add(value, static_cast<int64_t>(std::time(nullptr)));
        m_history.draw(m_historyImage);
        m_historyPicture.put(m_historyImage);
        ++m_passes;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
