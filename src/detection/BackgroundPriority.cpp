#include "detection/BackgroundPriority.hpp"

#include "core/ThreadScheduling.hpp"

#include <oneapi/tbb/task_arena.h>
#include <oneapi/tbb/task_scheduler_observer.h>
#include <opencv2/core/utility.hpp>

#include <sched.h>

#include <mutex>
#include <optional>

namespace {
// Moves the calling thread to the batch scheduling class at its nice value. It keeps its fair
// share of the processor, and where the idle class would get nothing on a machine whose cores
// other programs keep busy, it goes on steering. A batch thread that wakes does not preempt a
// running one, so detection's wake-ups never push the frame loop off its core.
//
// It also asks for a long time slice. The scheduler lets a waking thread preempt a running one
// whose slice is longer than its own, so the frame loop, the X server and every other ordinary
// thread (whose default slice is at most 3 ms) get a core at once when they wake, instead of
// waiting for detection's slice to run out. The share stays the same: detection only runs in
// fewer, longer stretches, which suits a pass of tens of milliseconds. Kernels before 6.12 have
// no such slice and keep the default.
//
// Moving needs no privilege; a thread that stays where it is only competes as an ordinary one.
void moveToBatchClass() {
    std::optional<ThreadScheduling> scheduling = ThreadScheduling::ofCallingThread();
    if (scheduling) {
        scheduling->policy = SCHED_BATCH;
        scheduling->slice = BackgroundPriority::SLICE_NANOS;
        if (scheduling->applyToCallingThread()) {
            return;
        }
    }
    const sched_param param{};
    sched_setscheduler(0, SCHED_BATCH, &param);
}

// Run by the library's pool for its side effect: the library runs its parallel loops inside
// a task arena of its own, and a thread inside it can hand out a handle to that arena.
class ArenaProbe : public cv::ParallelLoopBody {
public:
    explicit ArenaProbe(tbb::task_arena& target) : m_arena(target) {}
    void operator()(const cv::Range&) const override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_arena.is_active()) {
            m_arena.initialize(tbb::task_arena::attach());
        }
    }

private:
    tbb::task_arena& m_arena;
    mutable std::mutex m_mutex;
};

// Moves each worker of the library's pool to the batch class as it joins the library's arena;
// one that is already in when observing starts is told before its next task. A worker stays
// there after it leaves: only detection hands the pool work (the main loop keeps its own off it).
class PoolObserver : public tbb::task_scheduler_observer {
public:
    explicit PoolObserver(tbb::task_arena& arena) : tbb::task_scheduler_observer(arena) {
        observe(true);
    }
    ~PoolObserver() override { observe(false); }
    void on_scheduler_entry(bool isWorker) override {
        if (isWorker) {
            moveToBatchClass();
        }
    }
};
} // namespace

struct BackgroundPriority::Pool {
    tbb::task_arena arena; // a handle only, attached by the probe
    std::unique_ptr<PoolObserver> observer;
};

BackgroundPriority::BackgroundPriority() : m_pool(std::make_unique<Pool>()) {
    moveToBatchClass();
    // A loop of two stripes runs in the library's arena and leaves a handle to it.
    cv::parallel_for_(cv::Range(0, 2), ArenaProbe(m_pool->arena), 2);
    if (m_pool->arena.is_active()) {
        m_pool->observer = std::make_unique<PoolObserver>(m_pool->arena);
    }
}

BackgroundPriority::~BackgroundPriority() {
    // The observer goes before the arena handle it watches.
    m_pool->observer.reset();
}
