#include "core/GamePaths.hpp"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace fs = std::filesystem;

namespace {
// A scratch machine: an empty working folder (the game runs installed) and a home folder; the
// environment is a plain map, so the real HOME is never touched.
class GamePathsTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(root / "work"); }
    void TearDown() override { fs::remove_all(root); }

    GamePaths paths() {
        const auto lookup = [this](const std::string& key) -> std::optional<std::string> {
            const auto found = environment.find(key);
            return found == environment.end() ? std::nullopt : std::optional(found->second);
        };
        return GamePaths({root / "work", root / "prefix/games/dravolt", lookup, root / "opencv",
                          [this] { return account; }});
    }

    std::string pattern = "/tmp/dravolt-paths-XXXXXX";
    const fs::path root = mkdtemp(pattern.data());
    std::map<std::string, std::string> environment = {{"HOME", (root / "home").string()}};
    std::optional<std::string> account = (root / "account").string(); // the password database's
};
} // namespace

// The folders the game makes are the player's alone; one that was there keeps its mode.
TEST_F(GamePathsTest, installedRunWritesToTheUserDataFolderMadeOnlyWhenNeeded) {
    const fs::path folder = root / "home/.local/share/dravolt";
    const GamePaths byHome = paths();
    EXPECT_EQ(byHome.writeFile("hiscore.xml"), folder / "hiscore.xml");
    EXPECT_EQ(byHome.displayName(folder / "hiscore.xml"), (folder / "hiscore.xml").string());
    EXPECT_FALSE(fs::exists(folder));
    fs::create_directories(root / "home/.local");
    fs::permissions(root / "home/.local", fs::perms(0751));
    std::string failure;
    EXPECT_TRUE(byHome.makeWriteFolder(failure));
    EXPECT_TRUE(byHome.makeWriteFolder(failure)) << "an existing folder is fine";
    EXPECT_EQ(fs::status(root / "home/.local").permissions(), fs::perms(0751));
    EXPECT_EQ(fs::status(root / "home/.local/share").permissions(), fs::perms(0700));
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0700));
}

// A relative XDG_DATA_HOME is invalid by the XDG rules.
TEST_F(GamePathsTest, installedRunTakesAnAbsoluteXdgDataHomeInsteadOfHomes) {
    environment["XDG_DATA_HOME"] = (root / "xdg").string();
    EXPECT_EQ(paths().writeFolder(), root / "xdg/dravolt");
    environment["XDG_DATA_HOME"] = "relative/xdg";
    EXPECT_EQ(paths().writeFolder(), root / "home/.local/share/dravolt");
}

// HOME unset, empty or relative: the home folder the system knows for the player; with none
// at all, nothing is written, and never into the working folder.
TEST_F(GamePathsTest, installedRunWithoutHomeTakesTheAccountsOrWritesNowhere) {
    for (const char* home : {"", "relative/home", static_cast<const char*>(nullptr)}) {
        if (home)
            environment["HOME"] = home;
        else
            environment.erase("HOME");
        EXPECT_EQ(paths().writeFolder(), root / "account/.local/share/dravolt");
    }
    account.reset();
    const GamePaths nowhere = paths();
    EXPECT_EQ(nowhere.writeFile("hiscore.xml"), "");
    std::string failure;
    EXPECT_FALSE(nowhere.makeWriteFolder(failure));
    EXPECT_EQ(failure, "there is no home folder to keep it in");
}
