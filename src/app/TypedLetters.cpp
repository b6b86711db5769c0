#include "app/TypedLetters.hpp"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cctype>
#include <unistd.h>
#include <utility>

namespace {
// A window may vanish between listing it and asking about it; that is no reason to end the
// program, which is what Xlib's own handler does.
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

// Errors of this connection are handled while it is in use; the previous handler comes back
// afterwards, so the rest of the program keeps its own.
class QuietErrors {
public:
    QuietErrors() : previous(XSetErrorHandler(ignoreError)) {}
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
    ~QuietErrors() { XSetErrorHandler(previous); }

private:
    XErrorHandler previous;
};

bool isLetter(int key) {
    return (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z');
}
} // namespace

TypedLetters::TypedLetters(std::string windowTitle) : m_title(std::move(windowTitle)) {
    m_display = XOpenDisplay(nullptr);
}

TypedLetters::~TypedLetters() {
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

void TypedLetters::watch() {
    if (!m_display || m_watching || m_attemptsLeft <= 0) {
        return;
    }
    --m_attemptsLeft;
    const QuietErrors quiet;
    const Window window = findWindow(DefaultRootWindow(m_display), 0);
    if (window != 0) {
        selectKeyPresses(window);
        XSync(m_display, False);
        m_watching = true;
    }
}

int TypedLetters::asTyped(int key) {
    if (!isLetter(key)) {
        return key;
    }
    watch();
    if (!m_watching) {
        return key;
    }
    const QuietErrors quiet;
    // Every event the server sent before this round trip is in the queue now, the press of
    // this letter among them: the server sent it to the window's other client first.
    XSync(m_display, False);
    const int letter = std::tolower(key);
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
        }
        if (event.type != KeyPress) {
            continue;
        }
        char text[8] = {};
        KeySym symbol = 0;
        if (XLookupString(&event.xkey, text, sizeof text, &symbol, nullptr) == 1 &&
            std::tolower(static_cast<unsigned char>(text[0])) == letter) {
            return static_cast<unsigned char>(text[0]);
        }
    }
    return key;
}

void TypedLetters::selectKeyPresses(unsigned long window) {
    // Any client may select key presses on a window; the event goes to the innermost window
    // that someone selected them on, so every window inside gets the selection too.
    XSelectInput(m_display, window, KeyPressMask);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(m_display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) {
            selectKeyPresses(children[i]);
        }
        XFree(children);
    }
}

unsigned long TypedLetters::findWindow(unsigned long parent, int depth) {
    char* name = nullptr;
    if (XFetchName(m_display, parent, &name) && name) {
        const bool match = m_title == name;
        XFree(name);
        if (match && ownedByThisProcess(parent)) {
            return parent;
        }
    }
    Window root = 0, up = 0, *children = nullptr;
    unsigned int count = 0;
    unsigned long found = 0;
    if (depth < 4 && XQueryTree(m_display, parent, &root, &up, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            found = findWindow(children[i], depth + 1);
        }
        XFree(children);
    }
    return found;
}

bool TypedLetters::ownedByThisProcess(unsigned long window) {
    // Another game on the same display shows a window of the same title; a window without
    // the process property is taken on its title alone.
    const Atom pidAtom = XInternAtom(m_display, "_NET_WM_PID", True);
    if (pidAtom == 0) {
        return true;
    }
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const bool read = XGetWindowProperty(m_display, window, pidAtom, 0, 1, False, XA_CARDINAL,
                                         &type, &format, &items, &after, &data) == Success;
    bool owned = true;
    if (read && data && format == 32 && items == 1) {
        owned = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == getpid();
    }
    if (data) {
        XFree(data);
    }
    return owned;
}
