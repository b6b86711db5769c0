#include "gfx/Resources.hpp"

#include "core/GamePaths.hpp"

#include <algorithm>
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

bool Resources::load(const GamePaths* paths, std::ostream& console) {
    textures = std::make_unique<cv::Mat[]>(3);
    for (int index = 0; index < 3; ++index) {
        const std::string name = TEXTURE_PATHS[index];
        const std::string file = filePath(name);
        const std::filesystem::path found =
            paths ? paths->dataFile(file) : std::filesystem::path(file);
        textures[index] = cv::imread(found.string(), cv::IMREAD_COLOR);
        if (textures[index].empty()) {
            // A texture of the working folder or of none is named as the game calls it, one of
            // the installed data folder by its full path.
            const std::string shown = found.is_absolute() ? found.string() : name;
            // The start fails now and the console waits for a key: show it before that.
            console << "Can't load texture from the file '" + shown + "'\n" << std::flush;
            return false;
        }
    }
    return true;
}
