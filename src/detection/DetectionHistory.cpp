#include "detection/DetectionHistory.hpp"

#include "core/Palette.hpp"

#include <opencv2/imgproc.hpp>

void DetectionHistory::add(int shift, int64_t time) {
    m_entries.push_front(HistoryEntry{shift, time});
    if (m_entries.size() > m_capacity) {
        m_entries.pop_back();
    }
}

void DetectionHistory::draw(cv::Mat& image) const {
    const int width = image.cols;
    const int height = image.rows;
    image.setTo(BLACK);
    cv::line(image, cv::Point(width / 2, 0), cv::Point(width / 2, height), WHITE, 1, cv::LINE_8);

    const double step = static_cast<double>(height / m_capacity);
    double y = height;
    if (m_entries.size() < 2) {
        return;
    }
    int64_t lastTime = m_entries.front().time;
    auto previous = m_entries.begin();
    for (auto current = std::next(previous); current != m_entries.end(); ++previous, ++current) {
        if (current->time != lastTime) {
            // One faint rule per wall-clock second shows how fast the values come in.
            cv::line(image, cv::Point(5, int(y - step)), cv::Point(width - 5, int(y - step)),
                     cv::Scalar(40, 40, 40), 1, cv::LINE_8);
            lastTime = current->time;
        }
        cv::line(image, cv::Point(int(width / 2 + previous->shift), int(y)),
                 cv::Point(int(width / 2 + current->shift), int(y - step)), YELLOW, 1, cv::LINE_8);
        y -= step;
    }
}
