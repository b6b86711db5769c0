#include "app/MainLoop.hpp"

#include "app/CallingThread.hpp"
#include "app/Console.hpp"
#include "app/DisplayCheck.hpp"
#include "app/FrameBlur.hpp"
#include "app/FrameLoopPriority.hpp"
#include "app/KeyTable.hpp"
#include "app/Steering.hpp"
#include "app/TypedLetters.hpp"
#include "core/Clock.hpp"
#include "core/Config.hpp"
#include "core/GamePaths.hpp"
#include "core/KeyCodes.hpp"
#include "detection/DetectionThread.hpp"
#include "game/Game.hpp"
#include "windows/WindowCheck.hpp"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <opencv2/core/utils/logger.hpp>
#include <opencv2/highgui.hpp>
#include <thread>

namespace {
void sleepMillis(int millis) {
    std::this_thread::sleep_for(std::chrono::milliseconds(millis));
}

// After a failed start the console stays open until the player has read the message.
void waitForCharacter() {
    std::getchar();
}

std::unique_ptr<DetectionThread> makeDetectionThread(Config& config,
                                                     const CameraFactory& openCamera) {
    if (openCamera) {
        return std::make_unique<DetectionThread>(config, openCamera());
    }
    return std::make_unique<DetectionThread>(config);
}

// Draws the frame and shows it with the worker's pictures, all on this thread: the library's
// pool belongs to detection, in the batch class, and sharing a frame this small with it
// gains nothing.
CameraWindow showFrame(const Config& config, DetectionThread& detection, Game& game,
                       FrameBlur& blur) {
    CameraWindow cameraWindow = CameraWindow::AsSwitched;
    runOnCallingThread([&] {
        const bool changed = game.redraw();
        if (const cv::Mat* picture = blur.newPicture(game.frame(), changed, config.blur)) {
            cv::imshow(WINDOW_TITLE, *picture);
        }
        cameraWindow = detection.showWindows();
    });
    return cameraWindow;
}

// Waits up to 5 ms for a key. Only a name takes capitals; everywhere else a capital acts as
// its small letter. Every letter goes through `letters`, so that its queue of presses stays
// in step with the keys the window hands over.
int nextKey(const Game& game, TypedLetters& letters) {
    const int key = cv::waitKeyEx(5);
    letters.watch();
    const int typed = letters.asTyped(key);
    return game.wantsTypedText() ? typed : key;
}

void runFrameLoop(Config& config, DetectionThread& detection, Game& game, std::ostream& console) {
    // A frame that wakes while other threads hold every core gets one at once.
    const FrameLoopPriority priority;
    KeyTable keys(config, game, detection, console);
    FrameBlur blur;
    TypedLetters letters(WINDOW_TITLE);
    for (;;) {
        sleepMillis(10);
        const int step = takeSteeringStep(config, [&] { return detection.takeShift(); });
        const int64_t now = nowMicros();
        game.update(step, now);
        if (game.state() == GameState::Quit) {
            return;
        }
        if (showFrame(config, detection, game, blur) == CameraWindow::Closed) {
            // The camera window's close button turns it off as u does.
            keys.toggleCameraWindow();
        }

        int key = nextKey(game, letters);
        if (!game.handleKey(key, now)) {
            key = lowerKey(key);
            keys.dispatch(key);
        }
        // The game window's close button ends the game as ESC does, before the next picture
        // would bring the window back.
        if (key == KEY_ESC || !windowShown(WINDOW_TITLE)) {
            return;
        }
    }
}
} // namespace

void runGame(const CameraFactory& openCamera) {
    // Every message of the game goes to the one console.
    std::ostream& console = std::cout;
    printBanner(console);
    printHelp(console);
    // Where the game's data is read and its files are written, decided once for the run.
    const GamePaths paths;
    Config config(paths.cascadeFile().string());
    printSettings(config, console);

    const std::string problem = displayProblem();
    if (!problem.empty()) {
        console << "ERROR: " << problem << ": Dravolt needs a desktop to show its window."
                << std::endl;
        waitForCharacter();
        return;
    }

    std::unique_ptr<DetectionThread> detection = makeDetectionThread(config, openCamera);
    detection->setConsole(console);
    detection->setPaths(paths);
    if (!detection->init()) {
        waitForCharacter();
        return;
    }
    // From here on, an exception that leaves this function destroys the thread object, which
    // stops and joins the worker first.
    detection->start();

    // Every start brings other traffic.
    auto game = std::make_unique<Game>(static_cast<uint64_t>(cv::getTickCount()),
                                       paths.writeFile("hiscore.xml").string(), &paths, console);
    if (!game->init(nowMicros())) {
        waitForCharacter();
        detection->stop(false);
        return;
    }
    cv::namedWindow(WINDOW_TITLE, cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL);
    cv::imshow(WINDOW_TITLE, game->frame());
    detection->updateCameraWindow();

    runFrameLoop(config, *detection, *game, console);
    detection->stop(true);
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
