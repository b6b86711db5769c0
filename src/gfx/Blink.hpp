#pragma once
// Something that blinks on a clock: shown for one length of time, then hidden for another, in
// turn. The pause panel, the name entry's cursor and a car that was run into blink this way. A
// phase runs its full length from the update that noticed its start, so a late frame never
// shortens the next phase to catch up. Until it is started a blink stands still.

#include <cstdint>

class Blink {
public:
    // The phases' lengths in microseconds of the clock that update is given; shown is the
    // state it stands in until it is started.
    Blink(int64_t shownMicros, int64_t hiddenMicros, bool shown);

    // The phase running now ends at now: the first update at or after it switches.
    void switchAt(int64_t now);
    // Hidden from now for a whole hidden phase.
    void hideFrom(int64_t now);
    // Switches to the other phase once the one running has run out at now.
    void update(int64_t now);

    bool shown() const { return m_shown; }

private:
    int64_t m_shownMicros;
    int64_t m_hiddenMicros;
    bool m_shown;
    bool m_started = false;
    int64_t m_phaseEnd = 0;
};
