#pragma once
// Base of every background worker: owns one operating-system thread, records whether the
// body is still executing and joins the thread before the object goes away. A derived class
// brings its own stop flag; its run must return once that flag is cleared.

#include <atomic>
#include <thread>

enum ThreadState { NotStarted = 0, Running = 1, Finished = 2 };

class Thread {
public:
    Thread() = default;
    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Launches the body. A second start while the first thread is joinable terminates.
    void start();
    // Waits for the body to end; throws std::system_error like std::thread::join.
    void join();
    // True from start until join.
    bool joinable() const { return m_handle.joinable(); }
    // Running while the body executes, Finished once it has returned.
    ThreadState state() const { return m_state; }

protected:
    virtual void run() = 0;

private:
    static void threadEntry(Thread* thread);

    std::atomic<ThreadState> m_state{NotStarted}; // written by the worker only
    std::thread m_handle;
};
