#include "gfx/FrameCache.hpp"

#include <cstring>

bool FrameCache::matches(const cv::Mat& image) const {
    if (m_lastInput.empty() || image.empty() || image.size() != m_lastInput.size() ||
        image.type() != m_lastInput.type()) {
        return false;
    }
    // Row by row: image may be a region whose rows are not contiguous.
    const size_t rowBytes = image.cols * image.elemSize();
    for (int row = 0; row < image.rows; ++row) {
        if (std::memcmp(image.ptr(row), m_lastInput.ptr(row), rowBytes) != 0) {
            return false;
        }
    }
    return true;
}

void FrameCache::clear() {
    m_lastInput.release();
    m_lastOutput.release();
}
