#include "core/GamePaths.hpp"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace fs = std::filesystem;

namespace {
// A scratch machine: an empty working folder, an installed tree under prefix/ and the system
// cascade folder; the environment is a plain map, so the real HOME is never touched.
class GamePathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "work");
        touch(root / "prefix/share/games/dravolt/graphics/car.png");
        touch(root / "opencv/haarcascade_eye.xml");
    }
    void TearDown() override { fs::remove_all(root); }

    static void touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }

    GamePaths paths() {
        const auto lookup = [this](const std::string& key) -> std::optional<std::string> {
            const auto found = environment.find(key);
            return found == environment.end() ? std::nullopt : std::optional(found->second);
        };
        return GamePaths({root / "work", root / "prefix/games/dravolt", lookup, root / "opencv"});
    }

    std::string pattern = "/tmp/dravolt-paths-XXXXXX";
    const fs::path root = mkdtemp(pattern.data());
    std::map<std::string, std::string> environment = {{"HOME", (root / "home").string()}};
};
} // namespace

TEST_F(GamePathsTest, checkoutReadsAndWritesInTheWorkingFolder) {
    touch(root / "work/graphics/car.png");
    touch(root / "work/classifier/haarcascade_eye.xml");
    const GamePaths checkout = paths();
    EXPECT_FALSE(checkout.installed());
    EXPECT_EQ(checkout.dataFile("graphics/car.png"), "graphics/car.png");
    EXPECT_EQ(checkout.cascadeFile(), "classifier/haarcascade_eye.xml");
    EXPECT_EQ(checkout.writeFile("hiscore.xml"), "hiscore.xml");
    EXPECT_EQ(checkout.displayName(checkout.writeFile("hiscore.xml")), "hiscore.xml");
    EXPECT_EQ(checkout.displayName(root / "work/image_1.png"), "image_1.png");
}

TEST_F(GamePathsTest, installedTreeIsFoundBesideTheExecutableWhereverItLies) {
    const GamePaths installed = paths();
    EXPECT_TRUE(installed.installed());
    EXPECT_EQ(installed.dataFile("graphics/car.png"),
              root / "prefix/share/games/dravolt/graphics/car.png");
    // Found nowhere: the name stays as the loader has always reported it.
    EXPECT_EQ(installed.dataFile("graphics/garage.png"), "graphics/garage.png");
}

TEST_F(GamePathsTest, cascadeComesFromTheInstalledCopyThenFromOpencvData) {
    EXPECT_EQ(paths().cascadeFile(), root / "opencv/haarcascade_eye.xml");
    touch(root / "prefix/share/games/dravolt/classifier/haarcascade_eye.xml");
    EXPECT_EQ(paths().cascadeFile(),
              root / "prefix/share/games/dravolt/classifier/haarcascade_eye.xml");
    fs::remove_all(root / "prefix/share");
    fs::remove_all(root / "opencv");
    EXPECT_EQ(paths().cascadeFile(), "classifier/haarcascade_eye.xml");
}

TEST_F(GamePathsTest, installedRunWritesToTheUserDataFolderMadeOnlyWhenNeeded) {
    const GamePaths byHome = paths();
    const fs::path folder = root / "home/.local/share/dravolt";
    EXPECT_EQ(byHome.writeFile("hiscore.xml"), folder / "hiscore.xml");
    EXPECT_EQ(byHome.displayName(byHome.writeFile("hiscore.xml")),
              (folder / "hiscore.xml").string());
    EXPECT_FALSE(fs::exists(folder));
    std::string failure;
    EXPECT_TRUE(byHome.makeWriteFolder(failure));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(byHome.makeWriteFolder(failure)) << "an existing folder is fine";

    environment["XDG_DATA_HOME"] = (root / "xdg").string();
    EXPECT_EQ(paths().writeFolder(), root / "xdg/dravolt");
    environment["XDG_DATA_HOME"] = "relative/xdg"; // invalid by the XDG rules: ignored
    EXPECT_EQ(paths().writeFolder(), folder);
    environment.clear();
    EXPECT_EQ(paths().writeFolder(), "") << "no usable HOME: the working folder";
}
