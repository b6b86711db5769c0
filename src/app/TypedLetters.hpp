#pragma once
// The letters as the player typed them on the game's window. The image library hands every
// letter over in lower case, whatever Shift or Caps Lock; this class sees the same key presses
// a second time through its own connection to the X display, where each press carries the
// modifiers held at the moment it happened. Asking for the modifiers afterwards would miss a
// Shift that was already let go again. Main thread only, like every window call.

#include <string>

struct _XDisplay;

class TypedLetters {
public:
    // Connects to the display; without one every key passes unchanged.
    explicit TypedLetters(std::string windowTitle);
    TypedLetters(const TypedLetters&) = delete;
    TypedLetters& operator=(const TypedLetters&) = delete;
    virtual ~TypedLetters();

    // Looks for the window until it is found, a limited number of times; cheap once found.
    void watch();
    // For a letter key, the character of its own press: capital under Shift or Caps Lock.
    // Every other key unchanged, and any key unchanged when the press cannot be seen. The
    // presses queued up to the letter's are used up.
    int asTyped(int key);

private:
    // The window with the title that this process shows, and everything inside it, report
    // key presses to this connection as well.
    void selectKeyPresses(unsigned long window);
    unsigned long findWindow(unsigned long parent, int depth);
    bool ownedByThisProcess(unsigned long window);

    std::string m_title;
    _XDisplay* m_display = nullptr;
    bool m_watching = false;
    int m_attemptsLeft = 200;
};
