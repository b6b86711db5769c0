// The newest-frame reader in front of a camera whose frames the test hands over one by one.

#include "detection/NewestFrameSource.hpp"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <stdexcept>

namespace {
// A camera that gives the frames the test pushes, numbered by their single pixel, and waits
// while it has none. The number -1 is the end, which stays for every later read; -2 throws.
class HandCamera : public FrameSource {
public:
    bool isOpened() const override { return true; }
    void read(cv::Mat& frame) override {
        const int number = next();
        if (number == -2)
            throw std::runtime_error("camera unplugged");
        frame = number < 0 ? cv::Mat() : cv::Mat(1, 1, CV_8UC1, cv::Scalar(number));
        ++reads;
    }
    void skip() override {
        next();
        ++skips;
    }
    void push(int number) {
        std::lock_guard<std::mutex> lock(mutex);
        pending.push_back(number);
        changed.notify_all();
    }
    // Returns once the reading thread has taken everything pushed and waits for more.
    void waitUntilDrained() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return waiting && pending.empty(); });
    }
    std::atomic<int> reads{0}, skips{0};

private:
    int next() {
        std::unique_lock<std::mutex> lock(mutex);
        waiting = true;
        changed.notify_all();
        changed.wait(lock, [this] { return !pending.empty(); });
        waiting = false;
        const int number = pending.front();
        if (number != -1)
            pending.pop_front();
        return number;
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<int> pending;
    bool waiting = false;
};

struct Newest {
    HandCamera* camera = new HandCamera;
    NewestFrameSource source{std::unique_ptr<FrameSource>(camera)};
    ~Newest() { camera->push(-1); }
    int take() {
        cv::Mat frame;
        source.read(frame);
        return frame.empty() ? -1 : frame.at<uchar>(0, 0);
    }
};
} // namespace

// Once it took the newest, a read waits for the next frame rather than give that one again.
TEST(NewestFrameSource, AReadTakesTheNewestFrameNotTheOldestAndNeverOneTwice) {
    Newest newest;
    for (int i = 0; i < 4; ++i)
        newest.camera->push(i);
    newest.camera->waitUntilDrained();
    EXPECT_EQ(newest.take(), 3);
    auto next = std::async(std::launch::async, [&] { return newest.take(); });
    newest.camera->push(4);
    EXPECT_EQ(next.get(), 4);
}

TEST(NewestFrameSource, TheEndAndWhatTheCameraThrewReachTheReader) {
    Newest ending;
    ending.camera->push(5);
    ending.camera->push(-1);
    EXPECT_EQ(ending.take(), 5); // the last frame still counts
    EXPECT_EQ(ending.take(), -1);
    Newest failing;
    failing.camera->push(-2);
    EXPECT_THROW(failing.take(), std::runtime_error);
}

TEST(NewestFrameSource, AfterFramesNobodyTookItOnlyDrainsYetTheNextReadIsFresh) {
    Newest newest;
    const int pushed = 30 + 10;
    for (int i = 0; i < pushed; ++i)
        newest.camera->push(i);
    newest.camera->waitUntilDrained();
    EXPECT_EQ(newest.camera->reads, 30);
    EXPECT_EQ(newest.camera->skips, 10);
    // The frame handed out after the rest is one the camera gave after the read began.
    auto next = std::async(std::launch::async, [&] { return newest.take(); });
    for (int i = pushed; next.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready;
         ++i)
        newest.camera->push(i);
    EXPECT_GE(next.get(), pushed);
}
