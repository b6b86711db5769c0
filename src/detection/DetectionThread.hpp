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

// What showWindows found of the camera window: as the u key left it, or closed by the player
// with its close button, which the caller then switches off as u does.
enum class CameraWindow { AsSwitched, Closed };

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

    // The orderly stop: asks the worker to stop, gives it 100 ms, then waits in 25 ms steps
    // while it still runs and joins it. With serviceWindows the waits keep the window system
    // serviced (main thread only). Nothing to do for a worker that was never started.
    void stop(bool serviceWindows);
    // Asks the worker to end after its pass; join waits for that.
    void requestStop() { m_running = false; }

    // Loads the cascade, tests the camera with one frame, creates the history window.
    // Main thread, before start. False when the cascade cannot be loaded.
    bool init();
    // init without the window: everything a test or a tool needs to run the loop headless.
    bool prepare();
    // Opens or closes "cameraWindow" to match showCameraWin. Main thread only.
    void updateCameraWindow();
    // Shows the newest camera and history images the worker has handed over. Main thread only.
    // A window the player has closed is not shown again: "Detection history" stays closed for
    // the rest of the run; "cameraWindow" is reported Closed, for the caller to switch off.
    [[nodiscard]] CameraWindow showWindows();

    // The steering value of the newest detection, once: 0 until the worker publishes the next.
    // A value not taken is overwritten by the next detection's.
    int takeShift() { return m_pendingShift.exchange(0); }
    // The next detection lists its pairing on the console and saves its picture; a request
    // made during a detection waits for the one after it.
    void requestDump();
    // A dump is asked for and not yet served.
    bool dumpRequested() const { return m_dumpInfo; }
    // Completed loop passes, for an observer that waits for the worker to make progress.
    int passes() const { return m_passes; }
    // The worker's recent values. The worker changes it: read it once the worker has ended.
    const DetectionHistory& history() const { return m_history; }

    // Where warnings and diagnostics go; the console unless a test listens. Before start.
    void setConsole(std::ostream& stream);
    // Where the detector's dumps go (not owned); the working folder unless set. Before start.
    void setPaths(const GamePaths& paths) { m_detector.setPaths(paths); }

protected:
    void run() override;

private:
    void loop();
    void fail(const std::string& message);

    // The worker's: the settings it reads (shared, each an atomic value), its detector, its
    // camera, the frame it works on and its history.
    Config* m_config;
    EyeDetector m_detector;
    std::unique_ptr<FrameSource> m_camera;
    cv::Mat m_frame;
    DetectionHistory m_history;
    cv::Mat m_historyImage; // 400 rows by 130 columns
    std::ostream* m_console = &std::cout;
    // Shared by the two threads.
    std::atomic<bool> m_running{true};
    std::atomic<int> m_pendingShift{0};
    std::atomic<bool> m_dumpInfo{false};
    std::atomic<bool> m_dumpInfoRenewed{false};
    std::atomic<int> m_cameraWindowHidden{1};
    std::atomic<int> m_passes{0};
    ImageSlot m_cameraPicture;
    ImageSlot m_historyPicture;
    // The main thread's.
    bool m_historyWindowOpen = false;
};
