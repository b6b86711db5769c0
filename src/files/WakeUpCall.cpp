#include "files/WakeUpCall.hpp"

#include <algorithm>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace {

constexpr long repeatNanos = 10'000'000;

// Nothing to do: the signal is there to end a wait with EINTR.
void ignore(int) {}

void installHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = ignore;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: the interrupted call must return
        ::sigaction(WakeUpCall::signalNumber(), &action, nullptr);
    });
}

timespec asTimespec(std::chrono::milliseconds time) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(time);
    return {static_cast<time_t>(seconds.count()),
            static_cast<long>(std::chrono::nanoseconds(time - seconds).count())};
}

} // namespace

int WakeUpCall::signalNumber() {
    return SIGRTMIN + 2;
}

WakeUpCall::WakeUpCall(std::chrono::milliseconds after) {
    installHandler();
    sigevent event = {};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = signalNumber();
#ifdef sigev_notify_thread_id
    event.sigev_notify_thread_id = ::gettid();
#else
    event._sigev_un._tid = ::gettid();
#endif
    if (::timer_create(CLOCK_MONOTONIC, &event, &m_timer) != 0)
        return;
    m_armed = true;
    itimerspec when = {};
    when.it_value = asTimespec(std::max(after, std::chrono::milliseconds(1)));
    when.it_interval = {0, repeatNanos};
    ::timer_settime(m_timer, 0, &when, nullptr);
}

WakeUpCall::~WakeUpCall() {
    if (!m_armed)
        return;
    // With the signal held back, the timer goes and a signal it sent last is taken back, so
    // that it cannot interrupt whatever this thread does next.
    sigset_t signal;
    sigemptyset(&signal);
    sigaddset(&signal, signalNumber());
    sigset_t before;
    ::pthread_sigmask(SIG_BLOCK, &signal, &before);
    ::timer_delete(m_timer);
    const timespec now = {0, 0};
    while (::sigtimedwait(&signal, nullptr, &now) > 0) {
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}
