#include "detection/FileFrameSource.hpp"

#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <fstream>
#include <thread>

FileFrameSource::FileFrameSource(std::vector<std::string> files, bool repeat,
                                 double framesPerSecond)
    : loop(repeat) {
    if (framesPerSecond > 0) {
        frameTime = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / framesPerSecond));
    }
    for (const std::string& path : files) {
        // The video back ends print their own complaints about missing files; ask the
        // file system first so that a plain typo gets only our message. Only a plain file is
        // opened: a pipe would block the open until somebody writes to it.
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error) || !std::ifstream(path).good()) {
            failed = path;
            return;
        }
        Item item{path, cv::imread(path, cv::IMREAD_COLOR)};
        if (item.picture.empty()) {
            cv::VideoCapture probe(path, cv::CAP_FFMPEG);
            cv::Mat first;
            if (!probe.isOpened() || !probe.read(first) || first.empty()) {
                failed = path;
                return;
            }
        }
        items.push_back(std::move(item));
    }
}

bool FileFrameSource::isOpened() const {
    return failed.empty() && !items.empty();
}

void FileFrameSource::read(cv::Mat& frame) {
    if (frameTime.count() > 0) {
        const auto now = std::chrono::steady_clock::now();
        if (due > now) {
            std::this_thread::sleep_until(due);
        }
        // A late reader gets the next frame at once rather than a burst of catch-up frames.
        due = std::max(due, now) + frameTime;
    }
    nextFrame(frame);
}

void FileFrameSource::openItem(size_t index) {
    current = index;
    itemOpen = true;
    pictureGiven = false;
    if (items[index].picture.empty()) {
        video.open(items[index].path, cv::CAP_FFMPEG);
    }
}

void FileFrameSource::nextFrame(cv::Mat& frame) {
    frame.release();
    if (!isOpened()) {
        return;
    }
    // At most one pass over all files: a loop of files that yield nothing must still end.
    for (size_t tried = 0; tried <= items.size() && current < items.size(); ++tried) {
        if (!itemOpen) {
            openItem(current);
        }
        const Item& item = items[current];
        if (!item.picture.empty()) {
            if (!pictureGiven) {
                item.picture.copyTo(frame);
                pictureGiven = true;
                return;
            }
        } else if (video.isOpened() && video.read(frame) && !frame.empty()) {
            return;
        }
        frame.release();
        itemOpen = false;
        video.release();
        if (current + 1 < items.size()) {
            ++current;
        } else if (loop) {
            current = 0;
        } else {
            current = items.size();
        }
    }
}
