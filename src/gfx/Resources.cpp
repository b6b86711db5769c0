#include "gfx/Resources.hpp"

#include <algorithm>
#include <iostream>
#include <opencv2/imgcodecs.hpp>

namespace {

// The names keep the backslash the game reports them with; the file itself is opened under
// this system's directory separator.
std::string filePath(const std::string& name) {
    std::string path = name;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace

bool Resources::load() {
    textures = std::make_unique<cv::Mat[]>(3);
    for (int index = 0; index < 3; ++index) {
        const std::string name = TEXTURE_PATHS[index];
        textures[index] = cv::imread(filePath(name), cv::IMREAD_COLOR);
        if (textures[index].empty()) {
            // The start fails now and the console waits for a key: show it before that.
            std::cout << "Can't load texture from the file '" + name + "'\n" << std::flush;
            return false;
        }
    }
    return true;
}
