#include "detection/FileFrameSource.hpp"

#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <fstream>
#include <thread>

FileFrameSource::FileFrameSource(std::vector<std::string> files, bool repeat,
                                 double framesPerSecond)
    : m_loop(repeat) {
    if (framesPerSecond > 0) {
        m_frameTime = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / framesPerSecond));
    }
    for (const std::string& path : files) {
        // The video back ends print their own complaints about missing files; ask the
        // file system first so that a plain typo gets only our message. Only a plain file is
        // opened: a pipe would block the open until somebody writes to it.
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error) || !std::ifstream(path).good()) {
            m_failed = path;
            return;
        }
        Item item{path, cv::imread(path, cv::IMREAD_COLOR)};
        if (item.picture.empty()) {
            cv::VideoCapture probe(path, cv::CAP_FFMPEG);
            cv::Mat first;
            if (!probe.isOpened() || !probe.read(first) || first.empty()) {
                m_failed = path;
                return;
            }
        }
        m_items.push_back(std::move(item));
    }
}

bool FileFrameSource::isOpened() const {
    return m_failed.empty() && !m_items.empty();
}

void FileFrameSource::read(cv::Mat& frame) {
    if (m_frameTime.count() > 0) {
        const auto now = std::chrono::steady_clock::now();
        if (m_due > now) {
            std::this_thread::sleep_until(m_due);
        }
        // A late reader gets the next frame at once rather than a burst of catch-up frames.
        m_due = std::max(m_due, now) + m_frameTime;
    }
    nextFrame(frame);
}

void FileFrameSource::openItem(size_t index) {
    m_current = index;
    m_itemOpen = true;
    m_pictureGiven = false;
    if (m_items[index].picture.empty()) {
        m_video.open(m_items[index].path, cv::CAP_FFMPEG);
    }
}

void FileFrameSource::nextFrame(cv::Mat& frame) {
    frame.release();
    if (!isOpened()) {
        return;
    }
    // At most one pass over all files: a loop of files that yield nothing must still end.
    for (size_t tried = 0; tried <= m_items.size() && m_current < m_items.size(); ++tried) {
        if (!m_itemOpen) {
            openItem(m_current);
        }
        const Item& item = m_items[m_current];
        if (!item.picture.empty()) {
            if (!m_pictureGiven) {
                item.picture.copyTo(frame);
                m_pictureGiven = true;
                return;
            }
        } else if (m_video.isOpened() && m_video.read(frame) && !frame.empty()) {
            return;
        }
        frame.release();
        m_itemOpen = false;
        m_video.release();
        if (m_current + 1 < m_items.size()) {
            ++m_current;
        } else if (m_loop) {
            m_current = 0;
        } else {
            m_current = m_items.size();
        }
    }
}
