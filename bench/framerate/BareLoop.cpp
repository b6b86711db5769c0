// The frame loop with nothing in it, as the yardstick of the game's frame rate: sleep 10 ms,
// show an 800 by 600 picture, wait up to 5 ms for a key; for the given number of seconds.

#include <opencv2/highgui.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cstdlib>
#include <thread>

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    cv::Mat picture(600, 800, CV_8UC3, cv::Scalar(127, 127, 127));
    cv::putText(picture, "bare loop", cv::Point(300, 300), cv::FONT_HERSHEY_SIMPLEX, 1.0,
                cv::Scalar(255, 255, 255));
    cv::namedWindow("Bare loop", cv::WINDOW_AUTOSIZE | cv::WINDOW_GUI_NORMAL);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        cv::imshow("Bare loop", picture);
        if (cv::waitKeyEx(5) == 27) {
            break;
        }
    }
    return 0;
}
