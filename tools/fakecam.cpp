// The whole game with a stand-in camera: the frames of the given pictures and videos, played
// in a loop at about 30 a second. For trying the head steering without a webcam.

#include "app/MainLoop.hpp"
#include "detection/FileFrameSource.hpp"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: dravolt-fakecam FILE...\n";
        return 1;
    }
    const std::vector<std::string> files(argv + 1, argv + argc);
    {
        FileFrameSource check(files);
        if (!check.isOpened()) {
            std::cerr << "dravolt-fakecam: cannot read '" << check.failedFile()
                      << "' as a picture or a video\n";
            return 1;
        }
    }
    CameraFactory factory = [files] {
        return std::unique_ptr<FrameSource>(std::make_unique<FileFrameSource>(files, true, 30.0));
    };
    return runMain(factory);
}
