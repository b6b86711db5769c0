#include "detection/EyeDetector.hpp"

#include "core/GamePaths.hpp"
#include "core/Palette.hpp"
#include "files/FileTarget.hpp"
#include "files/SafeFile.hpp"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Outline colours of the cascade rectangles, cycled by rectangle index.
const cv::Scalar RECT_PALETTE[6] = {RED, GREEN, BLUE, YELLOW, PURPLE, PINK};

// A pair whose eye moved further than this since the last confirmed pair is not steered on:
// the new position has to be confirmed by the next frame first.
const int MAX_EYE_SHIFT = 30;

long long secondsNow() {
    return static_cast<long long>(std::time(nullptr));
}

int distance(int dx, int dy) {
    return static_cast<int>(std::sqrt(double(dx * dx + dy * dy)));
}

} // namespace

EyeDetector::EyeDetector(Config* settings) : m_config(settings) {}

bool EyeDetector::loadCascade(const std::string& path) {
    // A missing file is caught first, or the library adds a complaint of its own; a damaged
    // file is as unusable as a missing one.
    bool loaded = false;
    if (std::ifstream(path).good()) {
        try {
            loaded = m_cascade.load(path);
        } catch (const cv::Exception&) {
        }
    }
    m_drawSuppressed = !loaded;
    return loaded;
}

int EyeDetector::detect(const cv::Mat& input, cv::Mat& output, bool dump) {
    std::vector<cv::Rect> objects;
    m_cascade.detectMultiScale(input, objects, 1.1, 3, 0, cv::Size(0, 0), cv::Size(0, 0));
    return evaluate(std::move(objects), output, dump);
}

int EyeDetector::evaluate(std::vector<cv::Rect> objects, cv::Mat& output, bool dump) {
    // The cascade returns its rectangles in whatever order its worker threads finish; the
    // pairing takes the first plausible pair, so one fixed order keeps a frame's answer fixed.
    std::sort(objects.begin(), objects.end(), [](const cv::Rect& a, const cv::Rect& b) {
        return std::tie(a.x, a.y, a.width, a.height) < std::tie(b.x, b.y, b.width, b.height);
    });
    m_eyes.clear();
    findEyePair(objects, dump);

    if (!m_drawSuppressed && m_config->drawAll && !objects.empty()) {
        for (size_t i = 0; i < objects.size(); ++i) {
            cv::rectangle(output, objects[i], RECT_PALETTE[i % 6], 2, cv::LINE_8);
        }
    }
    if (!m_eyes.empty() && !m_drawSuppressed) {
        const Eye& left = m_eyes[0];
        const Eye& right = m_eyes[1];
        cv::circle(output, cv::Point(left.cx, left.cy), left.radius, BLACK, 2, cv::LINE_8);
        cv::circle(output, cv::Point(right.cx, right.cy), right.radius, WHITE, 2, cv::LINE_8);
    }
    if (!m_quiet && m_eyes.empty()) {
        *m_console << secondsNow() << " detection failed\n";
    }
    if (dump) {
        writeDump(output);
    }

    if (m_eyes.size() != 2) {
        return 0;
    }
    m_trackedEyes = m_eyes;
    // Image rows grow downward: a positive offset means the right eye sits lower.
    const Eye& first = m_eyes[0];
    const Eye& second = m_eyes[1];
    const int offset = first.cx > second.cx ? first.cy - second.cy : second.cy - first.cy;
    return m_config->invertX ? -offset : offset;
}

void EyeDetector::writeDump(const cv::Mat& output) const {
    const long long seconds = secondsNow();
    const std::string name = "image_" + std::to_string(seconds) + ".png";
    const std::string fileName = m_paths ? m_paths->writeFile(name).string() : name;
    const auto refused = [&](const Refusal& why) {
        *m_console << seconds << " can't dump to file '" << (fileName.empty() ? name : fileName)
                   << "': " << why.why() << "\n";
    };
    // Without its folder (an installed game that knows no home folder writes nowhere) the
    // picture cannot be written: the player who asked for it learns why.
    if (m_paths && m_paths->writesNowhere())
        return refused(Refusal("there is no home folder to keep it in"));
    const OrRefusal<FileTarget> target = FileTarget::find(
        fileName, m_paths ? FileTarget::Folders::MakeMissing : FileTarget::Folders::Existing,
        FileTarget::LastLink::Keep);
    if (!target.ok())
        return refused(target.refusal());
    if (const std::optional<Refusal> foreign = target.value().writeRefusal())
        return refused(*foreign);
    *m_console << seconds << " dump to file '" << fileName << "'\n";
    // The name is easy to guess, so anybody who can write the folder could plant a link under
    // it: the dump is a new file, made without following links and never written over one.
    std::vector<uchar> png;
    try {
        if (!cv::imencode(".png", output, png))
            return refused(Refusal("the picture could not be encoded"));
    } catch (const cv::Exception&) {
        return refused(Refusal("the picture could not be encoded"));
    }
    if (const std::optional<Refusal> failed =
            SafeFile(target.value()).createNew(std::string(png.begin(), png.end())))
        refused(*failed);
}

void EyeDetector::findEyePair(const std::vector<cv::Rect>& rects, bool verbose) {
    if (verbose) {
        for (size_t i = 0; i < rects.size(); ++i) {
            *m_console << i << ": [" << rects[i].x << ", " << rects[i].y << "] "
                       << "[" << rects[i].width << ", " << rects[i].height << "]\n";
        }
        *m_console << "\n";
    }

    for (size_t i = 0; i < rects.size(); ++i) {
        for (size_t j = i + 1; j < rects.size(); ++j) {
            const cv::Rect& a = rects[i];
            const cv::Rect& b = rects[j];
            const int d = distance((a.x + a.width / 2) - (b.x + b.width / 2),
                                   (a.y + a.height / 2) - (b.y + b.height / 2));
            const int w1 = (a.width + a.height) / 4;
            const int w2 = (b.width + b.height) / 4;
            const int limit = 2 * (w1 + w2);
            // Eyes of one face sit more than 0.8 and less than 2 radius sums apart.
            const bool passW = d < limit;
            const bool passW2 = d > (w1 + w2) * 80 / 100;

            if (verbose) {
                const double areaA = double(a.width) * a.height;
                const double areaB = double(b.width) * b.height;
                *m_console << "compare: " << i << " & " << j << "| d: " << d << " w1: " << w1
                           << " w2: " << w2 << " 2: " << limit << " passW: " << passW
                           << " passW2: " << passW2 << " passA1: " << areaA / areaB
                           << " passA2: " << areaB / areaA << "\n";
            }
            if (!m_eyes.empty() || !passW || !passW2) {
                continue;
            }

            Eye left = eyeFromRect(a);
            Eye right = eyeFromRect(b);
            if (left.cx > right.cx) {
                std::swap(left, right);
            }

            if (m_trackedEyes.empty()) {
                m_eyes.push_back(left);
                m_eyes.push_back(right);
                if (!verbose) {
                    return;
                }
                // A dump goes on so that it lists every comparison; nothing more is accepted.
                continue;
            }

            // Only the first plausible pair is held against the confirmed one.
            const int dL = distance(m_trackedEyes[0].cx - left.cx, m_trackedEyes[0].cy - left.cy);
            const int dR = distance(m_trackedEyes[1].cx - right.cx, m_trackedEyes[1].cy - right.cy);
            bool leftJumped = false;
            if (dL > MAX_EYE_SHIFT) {
                if (!m_quiet) {
                    *m_console << secondsNow() << " leftShift: " << dL << " - detection failed\n";
                }
                leftJumped = true;
            }
            if (dR > MAX_EYE_SHIFT) {
                if (!m_quiet) {
                    *m_console << secondsNow() << " rightShift: " << dR << " - detection failed\n";
                }
                m_trackedEyes = {left, right};
                return;
            }
            if (leftJumped) {
                m_trackedEyes = {left, right};
                return;
            }
            m_eyes.push_back(left);
            m_eyes.push_back(right);
            if (!verbose) {
                return;
            }
        }
    }
    if (verbose) {
        *m_console << "\n";
    }
}
