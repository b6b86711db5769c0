#include "app/CallingThread.hpp"

#include <opencv2/core/utility.hpp>

namespace {
class CallingThreadBody : public cv::ParallelLoopBody {
public:
    explicit CallingThreadBody(const std::function<void()>& work) : m_work(work) {}
    void operator()(const cv::Range&) const override { m_work(); }

private:
    const std::function<void()>& m_work;
};
} // namespace

void runOnCallingThread(const std::function<void()>& work) {
    // A loop of a single stripe runs on the calling thread, and the library runs every
    // parallel loop started within one of its loops on the thread that started it.
    cv::parallel_for_(cv::Range(0, 1), CallingThreadBody(work), 1);
}
