#include "detection/CameraSource.hpp"

CameraSource::CameraSource(int device) : m_capture(device) {
    // Every frame the driver queues makes the frame read next older; a back end that cannot
    // change the queue keeps its own, and the frames are taken as they come.
    if (m_capture.isOpened()) {
        m_capture.set(cv::CAP_PROP_BUFFERSIZE, 1);
    }
}

bool CameraSource::isOpened() const {
    return m_capture.isOpened();
}

void CameraSource::read(cv::Mat& frame) {
    // A failed grab leaves an empty image, which the thread reads as the end of the camera.
    if (!m_capture.read(frame)) {
        frame.release();
    }
}

void CameraSource::skip() {
    m_capture.grab();
}
