#include "gfx/Resources.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

// A fresh working directory for one test, with a graphics folder; the test's own working
// directory is restored and the folder removed at the end.
class ScratchDir {
public:
    ScratchDir() : previous(fs::current_path()) {
        std::string pattern = (fs::temp_directory_path() / "dravolt-resources-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path = pattern;
        fs::create_directory(path / "graphics");
        fs::current_path(path);
    }
    ~ScratchDir() {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    void copyTexture(const std::string& name) const {
        fs::copy_file(fs::path(DRAVOLT_SOURCE_DIR) / "graphics" / name, path / "graphics" / name);
    }

    fs::path path;

private:
    fs::path previous;
};

std::string loadCapturingOutput(Resources& resources, bool& loaded) {
    testing::internal::CaptureStdout();
    loaded = resources.load();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(ResourcesLoad, AllTexturesWithoutTableFileFallBackToDefaults) {
    ScratchDir dir;
    for (const char* name : {"car.png", "garage.png", "startLine.png"}) {
        dir.copyTexture(name);
    }
    Resources resources;
    EXPECT_EQ(resources.textures, nullptr);
    EXPECT_TRUE(resources.hiScorePath.empty());

    bool loaded = false;
    const std::string output = loadCapturingOutput(resources, loaded);
    EXPECT_TRUE(loaded);
    ASSERT_NE(resources.textures, nullptr);
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(resources.textures[index].type(), CV_8UC3) << index;
    }
    const cv::Mat car = cv::imread("graphics/car.png", cv::IMREAD_COLOR);
    EXPECT_EQ(resources.textures[TextureCar].size(), car.size());
    EXPECT_EQ(resources.textures[TextureGarage].size(), cv::imread("graphics/garage.png").size());
    EXPECT_EQ(resources.textures[TextureStartLine].size(),
              cv::imread("graphics/startLine.png").size());

    // The table reports the missing file first, then the fallback follows.
    const std::string fallback = "Can't load 'hiscore.xml'. Setting HISCOREs to defaults..\n";
    EXPECT_EQ(output.find("Hiscore node is not SEQ.\n"), 0u) << output;
    ASSERT_GE(output.size(), fallback.size());
    EXPECT_EQ(output.substr(output.size() - fallback.size()), fallback) << output;
    EXPECT_EQ(resources.hiScorePath, "hiscore.xml");
    EXPECT_EQ(resources.hiScore.maxEntries, 8u);
    ASSERT_EQ(resources.hiScore.entries.size(), 8u);
    EXPECT_EQ(resources.hiScore.entries.front().name, ".Orlan.");
    EXPECT_EQ(resources.hiScore.entries.back().name, ".Joss.");
}

TEST(ResourcesLoad, MissingGarageStopsBeforeTheStartLine) {
    ScratchDir dir;
    dir.copyTexture("car.png");
    dir.copyTexture("startLine.png"); // present, but must not be read
    Resources resources;
    bool loaded = true;
    const std::string output = loadCapturingOutput(resources, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(output, "Can't load texture from the file 'graphics\\garage.png'\n");
    ASSERT_NE(resources.textures, nullptr);
    EXPECT_FALSE(resources.textures[TextureCar].empty());
    EXPECT_TRUE(resources.textures[TextureGarage].empty());
    EXPECT_TRUE(resources.textures[TextureStartLine].empty());
    // The table is not touched: no file name, and still the limit of a fresh table.
    EXPECT_TRUE(resources.hiScorePath.empty());
    EXPECT_EQ(resources.hiScore.maxEntries, 10u);
}

TEST(ResourcesLoad, FileThatIsNotAnImageCountsAsMissing) {
    ScratchDir dir;
    std::ofstream("graphics/car.png") << "not a picture\n";
    dir.copyTexture("garage.png");
    dir.copyTexture("startLine.png");
    Resources resources;
    bool loaded = true;
    const std::string output = loadCapturingOutput(resources, loaded);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(output, "Can't load texture from the file 'graphics\\car.png'\n");
    EXPECT_TRUE(resources.textures[TextureGarage].empty());
}

TEST(ResourcesLoad, AlphaChannelIsDroppedKeepingTheStoredColour) {
    ScratchDir dir;
    cv::Mat withAlpha(4, 4, CV_8UC4, cv::Scalar(255, 0, 255, 0)); // fully transparent magenta
    withAlpha.at<cv::Vec4b>(1, 2) = cv::Vec4b(0, 0, 255, 255);
    ASSERT_TRUE(cv::imwrite("graphics/car.png", withAlpha));
    dir.copyTexture("garage.png");
    dir.copyTexture("startLine.png");
    Resources resources;
    bool loaded = false;
    loadCapturingOutput(resources, loaded);
    ASSERT_TRUE(loaded);
    const cv::Mat& car = resources.textures[TextureCar];
    EXPECT_EQ(car.type(), CV_8UC3);
    EXPECT_EQ(car.at<cv::Vec3b>(0, 0), cv::Vec3b(255, 0, 255));
    EXPECT_EQ(car.at<cv::Vec3b>(1, 2), cv::Vec3b(0, 0, 255));
}
