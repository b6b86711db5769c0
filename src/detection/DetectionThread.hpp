#pragma once
// The worker that owns the camera: grabs frames, runs the eye detector on each, publishes the
// steering value for the main loop and keeps the history of recent values. Window calls
// block any thread but the main one on this platform, so the worker only prepares the
// annotated camera image and the history graph; the main loop shows them (showWindows).
// When the camera is missing or fails, or the image library gives up on a frame, the worker
// says so, switches the camera off in the settings and ends: the game goes on by keys.

#include "core/Config.hpp"
#include "detection/DetectionHistory.hpp"
#include "detection/EyeDetector.hpp"
#include "detection/FrameSource.hpp"
#include "detection/ImageSlot.hpp"
#include "detection/Thread.hpp"

#include <opencv2/core.hpp>

#include <atomic>
#include <iostream>
#include <memory>
#include <string>

class DetectionThread : public Thread {
public:
    static constexpr const char* cameraWindowName = "cameraWindow";
    static constexpr const char* historyWindowName = "Detection history";

    // Opens camera device 0, of which every pass takes the newest frame.
    explicit DetectionThread(Config& config);
    // Reads its frames from the given source instead of the camera.
    DetectionThread(Config& config, std::unique_ptr<FrameSource> source);
    // Stops and joins a worker that is still running before the camera and detector go.
    ~DetectionThread() override;

    // The orderly stop: clears running, gives the worker 100 ms, then waits in 25 ms steps
    // while it still runs and joins it. With serviceWindows the waits keep the window system
    // serviced (main thread only). Nothing to do for a worker that was never started.
    void stop(bool serviceWindows);

    // Loads the cascade, tests the camera with one frame, creates the history window.
    // Main thread, before start. False when the cascade cannot be loaded.
    bool init();
    // init without the window: everything a test or a tool needs to run the loop headless.
    bool prepare();
    // Opens or closes "cameraWindow" to match showCameraWin. Main thread only.
    void updateCameraWindow();
    // Shows the newest camera and history images the worker has handed over. Main thread only.
    // A window the player has closed is not shown again: "Detection history" stays closed for
    // the rest of the run; for "cameraWindow" the result is true, and the caller switches it
    // off as the u key does.
    bool showWindows();

    // Where warnings and diagnostics go; the console unless a test listens. Before start.
    void setConsole(std::ostream& stream);
    // Where the detector's dumps go (not owned); the working folder unless set. Before start.
    void setPaths(const GamePaths& paths) { detector.paths = &paths; }

    Config* config;
    EyeDetector detector;
    std::unique_ptr<FrameSource> camera;
    cv::Mat frame;
    std::atomic<bool> running{true};
    std::atomic<int> pendingShift{0};
    std::atomic<bool> dumpInfo{false};
    std::atomic<bool> dumpInfoRenewed{false};
    DetectionHistory history;
    cv::Mat historyImage; // 400 rows by 130 columns
    std::atomic<int> cameraWindowHidden{1};
    // Completed loop passes, for an observer that waits for the worker to make progress.
    std::atomic<int> passes{0};

protected:
    void run() override;

private:
    void loop();
    void fail(const std::string& message);

    std::ostream* console = &std::cout;
    bool historyWindowOpen = false;
    ImageSlot cameraPicture;
    ImageSlot historyPicture;
};
