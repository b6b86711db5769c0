#pragma once
// The slight blur of a stream of frames, a Gaussian of sigma 0.5, with the very pixels of the
// library's blur, worked out again only where a frame differs from the one before. A running
// game changes its frame in the kerb stripes, the cars and the figures; the grass and road
// around them keep the blurred pixels they had. A frame equal to the last costs one comparison.

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

class IncrementalBlur {
public:
    // The strength of the library's Gaussian blur this one reproduces.
    static constexpr double SIGMA = 0.5;

    // The blur of frame, an 8-bit image, valid until the next call. The border is the
    // library's default: the row or column just inside stands in for the one beyond the edge.
    const cv::Mat& apply(const cv::Mat& frame);
    // True when the last frame had exactly the pixels of the one before it.
    bool unchanged() const { return m_lastUnchanged; }

private:
    // Notes the tiles where frame differs from the last input and copies them over.
    bool takeChanges(const cv::Mat& frame);
    // Renews the row sums and the blurred pixels that read a changed tile.
    void blurChanges();

    cv::Mat m_lastInput;
    cv::Mat m_lastOutput;
    cv::Mat m_rowSums; // the row pass of the last input: 16 bits a channel
    int m_tilesPerRow = 0;
    std::vector<std::uint8_t> m_changed; // per row and tile: the last input changed there
    std::vector<std::uint8_t> m_pixelsToRenew;
    bool m_lastUnchanged = false;
};
