#pragma once
// Whether a window of the game is still on the screen. The close button of the title bar only
// hides a window of this window system, and the next picture shown in it would bring it back,
// so the owner of a window asks before every picture: the main loop for the game's window, the
// detection thread for the camera and history windows it shows on the main thread. Main
// thread only.

#include <string>

// False once the window manager's close request has hidden the window (or it does not exist).
bool windowShown(const std::string& title);
