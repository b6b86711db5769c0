#include "gfx/IncrementalBlur.hpp"

#include <algorithm>
#include <cstring>

namespace {
// The library blurs 8-bit images in fixed point with 8 fractional bits. For sigma 0.5 the
// weights of the neighbour and the centre are 27 and 202 of 256 (the next ring out rounds to
// zero); a row pass gives 16-bit sums, a column pass of those 32-bit ones, rounded to 8 bits.
constexpr std::uint32_t SIDE = 27;
constexpr std::uint32_t CENTRE = 202;
constexpr std::uint32_t HALF = 1u << 15;
constexpr int SHIFT = 16;
constexpr int TILE = 32; // pixels a tile is wide, one row high

// The index that stands in for i beyond [0, length): the library's default border, which
// reflects without repeating the edge.
int reflect(int i, int length) {
    return cv::borderInterpolate(i, length, cv::BORDER_REFLECT_101);
}

// The row pass over the pixels [first, end) of row of image into the same places of sums.
void rowPass(const cv::Mat& image, cv::Mat& sums, int row, int first, int end) {
    const int channels = image.channels();
    const int width = image.cols;
    const std::uint8_t* pixels = image.ptr<std::uint8_t>(row);
    std::uint16_t* target = sums.ptr<std::uint16_t>(row);
    // The columns with both neighbours inside the image in one plain loop, which the compiler
    // turns into vector instructions; the edge columns on their own.
    const int innerEnd = std::min(end, width - 1) * channels;
    for (int i = std::max(first, 1) * channels; i < innerEnd; ++i) {
        target[i] = static_cast<std::uint16_t>(
            SIDE * (pixels[i - channels] + pixels[i + channels]) + CENTRE * pixels[i]);
    }
    for (const int x : {0, width - 1}) {
        if (x < first || x >= end || (x > 0 && x < width - 1)) {
            continue;
        }
        const int left = reflect(x - 1, width) * channels;
        const int right = reflect(x + 1, width) * channels;
        for (int c = 0; c < channels; ++c) {
            const int i = x * channels + c;
            target[i] = static_cast<std::uint16_t>(SIDE * (pixels[left + c] + pixels[right + c]) +
                                                   CENTRE * pixels[i]);
        }
    }
}

// The column pass over the pixels [first, end) of row: the row sums above, at and below it.
void columnPass(const cv::Mat& sums, cv::Mat& blurred, int row, int first, int end) {
    const int channels = blurred.channels();
    const std::uint16_t* above = sums.ptr<std::uint16_t>(reflect(row - 1, sums.rows));
    const std::uint16_t* middle = sums.ptr<std::uint16_t>(row);
    const std::uint16_t* below = sums.ptr<std::uint16_t>(reflect(row + 1, sums.rows));
    std::uint8_t* out = blurred.ptr<std::uint8_t>(row);
    for (int i = first * channels; i < end * channels; ++i) {
        const std::uint32_t sum = SIDE * (std::uint32_t{above[i]} + below[i]) + CENTRE * middle[i];
        out[i] = static_cast<std::uint8_t>((sum + HALF) >> SHIFT);
    }
}

// Calls work(first, end) for each run of marked tiles of a row, in pixels, widened by one
// pixel on either side.
template <typename Work>
void forEachRun(const std::uint8_t* marks, int tiles, int width, Work&& work) {
    int tile = 0;
    while (tile < tiles) {
        if (!marks[tile]) {
            ++tile;
            continue;
        }
        const int first = tile;
        while (tile < tiles && marks[tile]) {
            ++tile;
        }
        work(std::max(0, first * TILE - 1), std::min(tile * TILE + 1, width));
    }
}

// Marks each tile that is marked in its own row, the row above or the row below.
void widenByARow(const std::vector<std::uint8_t>& marks, std::vector<std::uint8_t>& widened,
                 int rows, int tiles) {
    widened.assign(marks.size(), 0);
    for (int row = 0; row < rows; ++row) {
        std::uint8_t* target = &widened[static_cast<size_t>(row) * tiles];
        for (int r = std::max(0, row - 1); r <= std::min(rows - 1, row + 1); ++r) {
            const std::uint8_t* source = &marks[static_cast<size_t>(r) * tiles];
            for (int tile = 0; tile < tiles; ++tile) {
                target[tile] |= source[tile];
            }
        }
    }
}
} // namespace

const cv::Mat& IncrementalBlur::apply(const cv::Mat& frame) {
    CV_Assert(frame.depth() == CV_8U && !frame.empty());
    if (frame.size() != m_lastInput.size() || frame.type() != m_lastInput.type()) {
        frame.copyTo(m_lastInput);
        m_lastOutput.create(frame.size(), frame.type());
        m_rowSums.create(frame.size(), CV_16UC(frame.channels()));
        m_tilesPerRow = (frame.cols + TILE - 1) / TILE;
        m_changed.assign(static_cast<size_t>(frame.rows) * m_tilesPerRow, 1);
        m_lastUnchanged = false;
    } else {
        m_lastUnchanged = !takeChanges(frame);
    }
    if (!m_lastUnchanged) {
        blurChanges();
    }
    return m_lastOutput;
}

bool IncrementalBlur::takeChanges(const cv::Mat& frame) {
    const size_t pixelBytes = frame.elemSize();
    const size_t rowBytes = frame.cols * pixelBytes;
    const size_t tileBytes = TILE * pixelBytes;
    bool any = false;
    for (int row = 0; row < frame.rows; ++row) {
        const std::uint8_t* source = frame.ptr<std::uint8_t>(row);
        std::uint8_t* kept = m_lastInput.ptr<std::uint8_t>(row);
        std::uint8_t* flags = &m_changed[static_cast<size_t>(row) * m_tilesPerRow];
        for (int tile = 0; tile < m_tilesPerRow; ++tile) {
            const size_t offset = tile * tileBytes;
            const size_t bytes = std::min(tileBytes, rowBytes - offset);
            flags[tile] = std::memcmp(source + offset, kept + offset, bytes) != 0;
            if (flags[tile]) {
                std::memcpy(kept + offset, source + offset, bytes);
                any = true;
            }
        }
    }
    return any;
}

void IncrementalBlur::blurChanges() {
    const int rows = m_lastInput.rows;
    const int width = m_lastInput.cols;
    // A row sum reads its pixel's left and right neighbours, so the sums to renew are those
    // within a pixel of a changed tile; a blurred pixel reads the row sums above and below it.
    widenByARow(m_changed, m_pixelsToRenew, rows, m_tilesPerRow);
    for (int row = 0; row < rows; ++row) {
        forEachRun(&m_changed[static_cast<size_t>(row) * m_tilesPerRow], m_tilesPerRow, width,
                   [&](int first, int end) { rowPass(m_lastInput, m_rowSums, row, first, end); });
    }
    for (int row = 0; row < rows; ++row) {
        forEachRun(
            &m_pixelsToRenew[static_cast<size_t>(row) * m_tilesPerRow], m_tilesPerRow, width,
            [&](int first, int end) { columnPass(m_rowSums, m_lastOutput, row, first, end); });
    }
}
