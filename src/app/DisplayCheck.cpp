#include "app/DisplayCheck.hpp"

#include <X11/Xlib.h>
#include <cstdlib>

namespace {
bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}
} // namespace

std::string displayProblem() {
    if (!isSet("DISPLAY")) {
        return isSet("WAYLAND_DISPLAY")
                   ? ""
                   : "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
    }
    // The window system speaks X here; a display that does not answer aborts it just the same.
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        return "Can't open the display '" + std::string(std::getenv("DISPLAY")) + "'";
    }
    XCloseDisplay(display);
    return "";
}
