// The eye cascade with nothing around it, as the yardstick of detection: the detector's call
// on one picture in a loop of its own, with the library's default threads, for the given
// number of seconds. Run from the game's folder, where classifier/ holds the cascade.
//
//   bare-cascade PICTURE SECONDS

#include <opencv2/imgcodecs.hpp>
#include <opencv2/objdetect.hpp>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: bare-cascade PICTURE SECONDS\n";
        return 1;
    }
    const cv::Mat picture = cv::imread(argv[1], cv::IMREAD_COLOR);
    cv::CascadeClassifier cascade("classifier/haarcascade_eye.xml");
    if (picture.empty() || cascade.empty()) {
        std::cerr << "bare-cascade: no picture or no cascade\n";
        return 1;
    }
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(std::atof(argv[2]));
    std::vector<cv::Rect> objects;
    while (std::chrono::steady_clock::now() < end) {
        // The eye detector's parameters.
        cascade.detectMultiScale(picture, objects, 1.1, 3, 0, cv::Size(0, 0), cv::Size(0, 0));
    }
    return 0;
}
