#pragma once
// Whether the game's window can be opened at all. Without a window system the library ends
// the process with an abort and a page of plug-in messages; the game says why in one line
// instead, before any window is created.

#include <string>

// Empty when the window system answers; otherwise what is wrong.
std::string displayProblem();
