#include "detection/BackgroundPriority.hpp"

#include <oneapi/tbb/task_arena.h>
#include <oneapi/tbb/task_scheduler_observer.h>
#include <opencv2/core/utility.hpp>

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>

namespace {
// How much nicer than the process a detection thread runs where the idle class is refused.
constexpr int FALLBACK_NICE_INCREMENT = 10;

// Moves the calling thread to the idle scheduling class, or failing that to a high nice value.
void lowerCallingThread() {
    const sched_param param{};
    if (sched_setscheduler(0, SCHED_IDLE, &param) == 0) {
        return;
    }
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, getpriority(PRIO_PROCESS, 0) + FALLBACK_NICE_INCREMENT);
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
    explicit PoolObserver(tbb::task_arena& arena) : tbb::task_scheduler_observer(arena) {
        observe(true);
    }
    ~PoolObserver() override { observe(false); }
    void on_scheduler_entry(bool isWorker) override {
        if (isWorker) {
            lowerCallingThread();
        }
    }
};
} // namespace

struct BackgroundPriority::Pool {
    tbb::task_arena arena; // a handle only, attached by the probe
    std::unique_ptr<PoolObserver> observer;
};

BackgroundPriority::BackgroundPriority() : pool(std::make_unique<Pool>()) {
    lowerCallingThread();
    // A loop of two stripes runs in the library's arena and leaves a handle to it.
    cv::parallel_for_(cv::Range(0, 2), ArenaProbe(pool->arena), 2);
    if (pool->arena.is_active()) {
        pool->observer = std::make_unique<PoolObserver>(pool->arena);
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
