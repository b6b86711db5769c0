#include "detection/Thread.hpp"

Thread::~Thread() {
    // A join that throws here ends the program, as an escaping exception from a destructor does.
    if (handle.joinable()) {
        handle.join();
    }
}

void Thread::start() {
    handle = std::thread(&Thread::threadEntry, this);
}

void Thread::join() {
    handle.join();
}

void Thread::threadEntry(Thread* thread) {
    thread->state = Running;
    thread->run();
    thread->state = Finished;
}
