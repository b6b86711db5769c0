#pragma once
// The worker that owns the camera: grabs frames, runs the eye detector on each, publishes the
// steering value for the main loop and keeps the history of recent values. Window calls
// block any thread but the main one on this platform, so the worker only prepares the
// annotated camera image and the history graph; the main loop shows them (showWindows).

#include "app/Config.hpp"
#include "detection/Thread.hpp"
#include "detection/FrameSource.hpp"

#include <atomic>
#include <memory>

// NOTE: interface used by the main loop; the detection work fills in the rest.
class DetectionThread : public Thread {
public:
    // Opens camera device 0.
    explicit DetectionThread(Config& config);
    // Reads its frames from the given source instead of the camera.
    DetectionThread(Config& config, std::unique_ptr<FrameSource> source);
    ~DetectionThread() override;

    // Loads the cascade, tests the camera with one frame, creates the history window.
    // Main thread, before start. False when the cascade cannot be loaded.
    bool init();
    // Opens or closes "cameraWindow" to match showCameraWin. Main thread only.
    void updateCameraWindow();
    // Shows the newest camera and history images the worker has handed over. Main thread only.
    void showWindows();

    std::atomic<bool> running{true};
    std::atomic<int> pendingShift{0};
    std::atomic<bool> dumpInfo{false};
    std::atomic<bool> dumpInfoRenewed{false};
    std::atomic<int> cameraWindowHidden{1};

protected:
    void run() override;
};
