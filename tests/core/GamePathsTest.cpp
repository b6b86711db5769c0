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

TEST_F(GamePathsTest, installedRunWritesToTheUserDataFolder) {
    const fs::path folder = root / "home/.local/share/dravolt";
    const GamePaths byHome = paths();
    EXPECT_EQ(byHome.writeFile("hiscore.xml"), folder / "hiscore.xml");
    EXPECT_EQ(byHome.displayName(folder / "hiscore.xml"), (folder / "hiscore.xml").string());
    EXPECT_FALSE(byHome.writesNowhere());
    EXPECT_FALSE(fs::exists(folder)) << "made only when something is written";
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
    EXPECT_TRUE(nowhere.writesNowhere());
}
