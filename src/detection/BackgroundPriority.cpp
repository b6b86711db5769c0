#include "detection/BackgroundPriority.hpp"

#include <oneapi/tbb/task_arena.h>
#include <oneapi/tbb/task_scheduler_observer.h>
#include <opencv2/core/utility.hpp>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>

namespace {
// The nice value every thread doing detection work gets: the process's own plus the increment.
int backgroundNice() {
    return getpriority(PRIO_PROCESS, 0) + BackgroundPriority::NICE_INCREMENT;
}

bool setCallingThreadNice(int nice) {
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, thread, nice) == 0;
}

// Run by the library's pool for its side effect: the library runs its parallel loops inside
// a task arena of its own, and a thread inside it can hand out a handle to that arena.
class ArenaProbe : public cv::ParallelLoopBody {
public:
    explicit ArenaProbe(tbb::task_arena& target) : arena(target) {}
    void operator()(const cv::Range&) const override {
        std::lock_guard<std::mutex> lock(mutex);
        if (!arena.is_active()) {
            arena.initialize(tbb::task_arena::attach());
        }
    }

private:
    tbb::task_arena& arena;
    mutable std::mutex mutex;
};

class CallingThreadBody : public cv::ParallelLoopBody {
public:
    explicit CallingThreadBody(const std::function<void()>& body) : work(body) {}
    void operator()(const cv::Range&) const override { work(); }

private:
    const std::function<void()>& work;
};

// Lowers each worker of the library's pool as it joins the library's arena; one that is
// already in when observing starts is told before its next task. A worker stays low after
// it leaves: raising a thread's priority again may need a privilege the game does not have.
class PoolObserver : public tbb::task_scheduler_observer {
public:
    PoolObserver(tbb::task_arena& arena, int workerNice)
        : tbb::task_scheduler_observer(arena), nice(workerNice) {
        observe(true);
    }
    ~PoolObserver() override { observe(false); }
    void on_scheduler_entry(bool isWorker) override {
        if (isWorker) {
            setCallingThreadNice(nice);
        }
    }

private:
    const int nice;
};
} // namespace

struct BackgroundPriority::Pool {
    tbb::task_arena arena; // a handle only, attached by the probe
    std::unique_ptr<PoolObserver> observer;
};

BackgroundPriority::BackgroundPriority() : pool(std::make_unique<Pool>()) {
    const int nice = backgroundNice();
    setCallingThreadNice(nice);
    // A loop of two stripes runs in the library's arena and leaves a handle to it.
    cv::parallel_for_(cv::Range(0, 2), ArenaProbe(pool->arena), 2);
    if (pool->arena.is_active()) {
        pool->observer = std::make_unique<PoolObserver>(pool->arena, nice);
    }
}

BackgroundPriority::~BackgroundPriority() {
    // The observer goes before the arena handle it watches.
    pool->observer.reset();
}

void BackgroundPriority::runOnCallingThread(const std::function<void()>& work) {
    // A loop of a single stripe runs on the calling thread, and the library runs every
    // parallel loop started within one of its loops on the thread that started it.
    cv::parallel_for_(cv::Range(0, 1), CallingThreadBody(work), 1);
}
