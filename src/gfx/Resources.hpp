#pragma once
// The textures the game loads from disk at start. The game holds one by value; the screens
// point to it.

#include <memory>
#include <opencv2/core.hpp>
#include <ostream>
#include <string>

class GamePaths;

// The textures' names as the game reports them; loading turns the backslash into this
// system's directory separator.
inline const char* const TEXTURE_PATHS[3] = {"graphics\\car.png", "graphics\\garage.png",
                                             "graphics\\startLine.png"};

enum TextureIndex { TextureCar = 0, TextureGarage = 1, TextureStartLine = 2 };

class Resources {
public:
    Resources() = default;
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;
    virtual ~Resources() = default;

    // Loads the three textures where paths finds them (null: the working folder); false at the
    // first one missing, with its message on the console.
    bool load(const GamePaths* paths, std::ostream& console);

    std::unique_ptr<cv::Mat[]> textures; // null until load: car, garage, start line
};
