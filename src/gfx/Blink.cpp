#include "gfx/Blink.hpp"

Blink::Blink(int64_t shownMicros, int64_t hiddenMicros, bool shown)
    : m_shownMicros(shownMicros), m_hiddenMicros(hiddenMicros), m_shown(shown) {}

void Blink::switchAt(int64_t now) {
    m_started = true;
    m_phaseEnd = now;
}

void Blink::hideFrom(int64_t now) {
    m_started = true;
    m_shown = false;
    m_phaseEnd = now + m_hiddenMicros;
}

void Blink::update(int64_t now) {
    if (!m_started || now < m_phaseEnd) {
        return;
    }
    m_shown = !m_shown;
    m_phaseEnd = now + (m_shown ? m_shownMicros : m_hiddenMicros);
}
