#include "detection/Thread.hpp"

Thread::~Thread() {
    // A join that throws here ends the program, as an escaping exception from a destructor does.
    if (m_handle.joinable()) {
        m_handle.join();
    }
}

void Thread::start() {
    m_handle = std::thread(&Thread::threadEntry, this);
}

void Thread::join() {
    m_handle.join();
}

void Thread::threadEntry(Thread* thread) {
    thread->m_state = Running;
    thread->run();
    thread->m_state = Finished;
}
