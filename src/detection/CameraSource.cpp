#include "detection/CameraSource.hpp"

CameraSource::CameraSource(int device) : capture(device) {}

bool CameraSource::isOpened() const {
    return capture.isOpened();
}

void CameraSource::read(cv::Mat& frame) {
    // A failed grab leaves an empty image, which the thread reads as the end of the camera.
    if (!capture.read(frame)) {
        frame.release();
    }
}
