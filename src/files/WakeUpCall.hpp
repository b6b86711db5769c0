#pragma once
// Interrupts a blocking system call of the calling thread once a time has passed: a timer
// that sends this thread alone a signal whose handler does nothing, so that the call returns
// with EINTR, and again every few milliseconds after in case the first signal came just
// before the call began to wait. Nothing else of the program sees the signal: it is sent to
// this thread only, and one still pending when the timer goes is taken back.

#include <chrono>
#include <csignal>
#include <ctime>

class WakeUpCall {
public:
    explicit WakeUpCall(std::chrono::milliseconds after);
    WakeUpCall(const WakeUpCall&) = delete;
    WakeUpCall& operator=(const WakeUpCall&) = delete;
    virtual ~WakeUpCall();

    // False when the system gave no timer: nothing will interrupt the call.
    bool armed() const { return m_armed; }

    // The signal it sends: a real-time signal that nothing else of the game uses.
    static int signalNumber();

private:
    timer_t m_timer{};
    bool m_armed = false;
};
