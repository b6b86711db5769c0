// The fake camera's driver queue, on a clock the test moves by hand.

#include "detection/QueuedSource.hpp"
#include "DetectionTestSupport.hpp"

#include <algorithm>

namespace {
constexpr int64_t PERIOD = 100000; // 10 frames a second

// A sleep moves the clock to the time asked for.
struct HandClock {
    int64_t now = 0;
    QueuedSource::Clock clock() {
        return {[this] { return now; }, [this](int64_t until) { now = std::max(now, until); }};
    }
};

// Frames whose single pixel tells their number.
std::unique_ptr<testsupport::ScriptedSource> numbered(int count) {
    std::vector<cv::Mat> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back(cv::Mat(1, 1, CV_8UC1, cv::Scalar(i)));
    return std::make_unique<testsupport::ScriptedSource>(frames, true);
}

// The frame's number (-1 for none) and when it was captured.
std::pair<int, int64_t> take(QueuedSource& source) {
    cv::Mat frame;
    source.read(frame);
    return {frame.empty() ? -1 : frame.at<uchar>(0, 0), source.capturedMicros()};
}
} // namespace

TEST(QueuedSource, ASlowReaderGetsTheOldestFramesAndMissesThoseThatFoundTheQueueFull) {
    HandClock hand;
    QueuedSource source(numbered(20), 10.0, 4, hand.clock());
    hand.now = 6 * PERIOD + PERIOD / 2; // frames 0 to 6 have arrived; 4 to 6 found it full
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(take(source), std::pair(i, i * PERIOD));
    // Nothing queued: the read waits for the next frame.
    EXPECT_EQ(take(source), std::pair(7, 7 * PERIOD));
    EXPECT_EQ(hand.now, 7 * PERIOD);
}
