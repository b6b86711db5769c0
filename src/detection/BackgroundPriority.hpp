#pragma once
// Keeps the detection work out of the frame loop's way. Detection runs on the detection
// thread and on the worker threads of the image library's TBB pool, and on two cores it would
// otherwise hold the core the main thread needs when it wakes for its next frame. Every
// thread that does detection work moves to the idle scheduling class: it still gets all the
// CPU the frame loop leaves, but the loop takes its core back the moment it wakes, without
// waiting for the end of the detection thread's time slice as a merely nicer thread would
// make it. The work itself and its results stay exactly the same.
//
// The pool's workers are shared by every thread of the process, so the main thread keeps
// its own library calls off the pool (runOnCallingThread): it never waits for an idle-class
// worker to finish a share of its frame.

#include <functional>
#include <memory>

class BackgroundPriority {
public:
    // Lowers the calling thread's priority now, and that of every worker thread of the
    // library's pool as it joins in. Call it on the detection thread before its first pass.
    BackgroundPriority();
    // Stops lowering workers that join later.
    ~BackgroundPriority();
    BackgroundPriority(const BackgroundPriority&) = delete;
    BackgroundPriority& operator=(const BackgroundPriority&) = delete;

    // Runs work on the calling thread and keeps the library's calls made within it on that
    // thread too, instead of spreading them over the pool.
    static void runOnCallingThread(const std::function<void()>& work);

private:
    struct Pool; // the library's task arena and the observer on it
    std::unique_ptr<Pool> pool;
};
