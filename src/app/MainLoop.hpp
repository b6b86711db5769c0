#pragma once
// The top of the program: start-up, the frame loop and the orderly stop of the worker.

#include "detection/FrameSource.hpp"

#include <functional>
#include <memory>

// Makes the detection thread's frame source; an empty function means camera device 0.
using CameraFactory = std::function<std::unique_ptr<FrameSource>()>;

// Runs the game and reports any exception that escapes it; the exit status is always 0.
int runMain(const CameraFactory& openCamera = CameraFactory());

// Start-up, frame loop and shutdown.
void runGame(const CameraFactory& openCamera);

// False where no window system can be reached (neither DISPLAY nor WAYLAND_DISPLAY is set).
bool hasDisplay();
