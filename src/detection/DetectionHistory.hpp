#pragma once
// The recent steering values of the detection thread and their graph: a vertical strip in
// which the newest value sits at the bottom edge and older ones scroll upward, 0 on the
// centre line and right-hand sway to the right, with a faint rule at every change of second.

#include <opencv2/core.hpp>

#include <cstdint>
#include <list>

struct HistoryEntry {
    int shift;    // steering value of one loop pass, 0 while detection is off
    int64_t time; // seconds since the epoch
};

class DetectionHistory {
public:
    // The worker keeps 100 values.
    explicit DetectionHistory(uint64_t capacity = 100) : m_capacity(capacity) {}

    // Puts the value in front and drops the oldest entry beyond capacity.
    void add(int shift, int64_t time);
    // Redraws the whole graph into image (any size; the thread uses 130 by 400).
    void draw(cv::Mat& image) const;

    // Newest first, at most capacity of them.
    const std::list<HistoryEntry>& entries() const { return m_entries; }

private:
    std::list<HistoryEntry> m_entries;
    uint64_t m_capacity;
};
