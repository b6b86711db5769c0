#include "app/MainLoop.hpp"

#include "app/Clock.hpp"
#include "app/Config.hpp"
#include "app/Console.hpp"
#include "app/DisplayCheck.hpp"
#include "app/FrameBlur.hpp"
#include "app/KeyCodes.hpp"
#include "app/KeyTable.hpp"
#include "app/Steering.hpp"
#include "detection/BackgroundPriority.hpp"
#include "detection/DetectionThread.hpp"
#include "game/Game.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/highgui.hpp>
#include <thread>

namespace {
constexpr double FRAME_BLUR_SIGMA = 0.5;

void sleepMillis(int millis) {
    std::this_thread::sleep_for(std::chrono::milliseconds(millis));
}

// After a failed start the console stays open until the player has read the message.
void waitForCharacter() {
    std::getchar();
}

// Stops and joins the worker when the scope ends, also when an exception leaves it, so that
// destroying the thread object never waits for a worker that was not told to stop.
class WorkerStop {
public:
    explicit WorkerStop(DetectionThread& detection) : detection(detection) {}
    WorkerStop(const WorkerStop&) = delete;
    WorkerStop& operator=(const WorkerStop&) = delete;
    ~WorkerStop() {
        if (detection.handle.joinable()) {
            detection.running = false;
            detection.handle.join();
        }
    }

    // The orderly stop. While windows are open the wait keeps the window system serviced.
    void stop(bool windowsOpen) {
        detection.running = false;
        sleepMillis(100);
        while (detection.state == Running) {
            std::cout << "Waiting for detector thread to exit .. \n";
            if (windowsOpen) {
                cv::waitKey(25);
            } else {
                sleepMillis(25);
            }
        }
        detection.join();
    }

private:
    DetectionThread& detection;
};

std::unique_ptr<DetectionThread> makeDetectionThread(Config& config,
                                                     const CameraFactory& openCamera) {
    if (openCamera) {
        return std::make_unique<DetectionThread>(config, openCamera());
    }
    return std::make_unique<DetectionThread>(config);
}

void runFrameLoop(Config& config, DetectionThread& detection, Game& game) {
    KeyTable keys(config, game, detection, std::cout);
    FrameBlur blur(FRAME_BLUR_SIGMA);
    for (;;) {
        sleepMillis(10);
        const int step = takeSteeringStep(config, detection.pendingShift);
        game.update(step, nowMicros());
        if (game.state == StateQuit) {
            return;
        }
        const auto showFrame = [&] {
            game.draw();
            if (config.blur) {
                blur.apply(game.frame);
            }
            cv::imshow(WINDOW_TITLE, game.frame);
            detection.showWindows();
        };
        // The frame's work stays on this thread: the library's pool belongs to detection, at
        // a lower priority, and sharing a frame as small as this one with it gains nothing.
        BackgroundPriority::runOnCallingThread(showFrame);

        int key = cv::waitKeyEx(5);
        if (!game.handleKey(key)) {
            key = lowerKey(key);
            keys.dispatch(key);
        }
        if (key == KEY_ESC) {
            return;
        }
    }
}
} // namespace

void runGame(const CameraFactory& openCamera) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    printBanner(std::cout);
    printHelp(std::cout);
    Config config;
    printSettings(config, std::cout);

    const std::string problem = displayProblem();
    if (!problem.empty()) {
        std::cout << "ERROR: " << problem << ": Dravolt needs a desktop to show its window."
                  << std::endl;
        waitForCharacter();
        return;
    }

    std::unique_ptr<DetectionThread> detection = makeDetectionThread(config, openCamera);
    if (!detection->init()) {
        waitForCharacter();
        return;
    }
    WorkerStop worker(*detection);
    detection->start();

    std::unique_ptr<Game> game = std::make_unique<Game>();
    if (!game->init()) {
        waitForCharacter();
        worker.stop(false);
        return;
    }
    cv::namedWindow(WINDOW_TITLE, cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL);
    cv::imshow(WINDOW_TITLE, game->frame);
    detection->updateCameraWindow();

    runFrameLoop(config, *detection, *game);
    worker.stop(true);
    game.reset();
}

int runMain(const CameraFactory& openCamera) {
    // The game reports a missing camera or texture in its own words; the library's warnings
    // about the same things would only add noise to the console.
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_ERROR);
    // Each console line goes out as it is finished, in a terminal and in a log file alike.
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    try {
        runGame(openCamera);
    } catch (...) {
        std::cout << "ERROR: Unexpected exception." << std::endl;
    }
    return 0;
}
