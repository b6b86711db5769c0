#include "gfx/Resources.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Loads in a fresh working directory whose graphics folder holds the named committed textures;
// gives the result and what was printed.
std::pair<bool, std::string> loadWith(Resources& resources,
                                      std::initializer_list<const char*> textures) {
    const fs::path previous = fs::current_path();
    const fs::path dir = fs::temp_directory_path() / ("dravolt-res-" + std::to_string(getpid()));
    fs::create_directories(dir / "graphics");
    for (const char* name : textures)
        fs::copy_file(fs::path(DRAVOLT_SOURCE_DIR) / "graphics" / name, dir / "graphics" / name);
    fs::current_path(dir);
    testing::internal::CaptureStdout();
    const bool loaded = resources.load();
    const std::string output = testing::internal::GetCapturedStdout();
    fs::current_path(previous);
    fs::remove_all(dir);
    return {loaded, output};
}

} // namespace

TEST(ResourcesLoad, TexturesInOrderStoppingAtTheFirstMissing) {
    Resources missing;
    const auto [loadedWithoutGarage, message] = loadWith(missing, {"car.png", "startLine.png"});
    EXPECT_FALSE(loadedWithoutGarage);
    EXPECT_EQ(message, "Can't load texture from the file 'graphics\\garage.png'\n");
    EXPECT_TRUE(missing.textures[TextureStartLine].empty()) << "the start line is not tried";

    Resources resources;
    const auto [loaded, output] = loadWith(resources, {"car.png", "garage.png", "startLine.png"});
    ASSERT_TRUE(loaded);
    EXPECT_EQ(output, "");
    EXPECT_EQ(resources.textures[TextureStartLine].type(), CV_8UC3);
}
