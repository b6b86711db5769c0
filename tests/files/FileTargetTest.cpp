#include "files/FileTarget.hpp"

#include "files/FileTestSupport.hpp"
#include "files/SafeFile.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// "path, through a link" of where a name leads, or "refused: " and why.
std::string where(const std::string& name) {
    const OrRefusal<FileTarget> found = FileTarget::find(name);
    if (!found.ok())
        return "refused: " + found.refusal().why();
    return found.value().path() + (found.value().throughLink() ? ", through a link" : "");
}

} // namespace

// Links are followed wherever they stand; only one in the file's own place may lead to any
// file, and ".." goes up from where a link led, as the kernel's lookup does.
TEST(FileTarget, FollowsEveryLinkAndTellsOneInTheFilesPlace) {
    Folder folder;
    const std::string d = folder.dir.string();
    fs::create_directories(folder.dir / "real/sub");
    writeFile(folder.dir / "real/table.xml", "");
    writeFile(folder.dir / "plain", "");
    fs::create_directory_symlink("real", folder.dir / "home");
    fs::create_symlink("real/table.xml", folder.dir / "table");
    fs::create_symlink("home/table.xml", folder.dir / "chain");
    fs::create_symlink(d + "/real/sub", folder.dir / "deep");
    fs::create_symlink("loop", folder.dir / "loop");
    for (const auto& [name, expected] :
         {std::pair{d + "/home/hiscore.xml", d + "/real/hiscore.xml"},
          {d + "/table", d + "/real/table.xml, through a link"},
          {d + "/chain", d + "/real/table.xml, through a link"},
          {d + "/deep/../table.xml", d + "/real/table.xml"},
          {d + "/./real//sub/../missing/new.xml", d + "/real/missing/new.xml"},
          {d + "/loop",
           "refused: can't follow the link '" + d + "/loop': Too many levels of symbolic links"},
          {d + "/plain/x", "refused: Not a directory"}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(where(name), expected);
    }
    // A relative name stays relative.
    const fs::path before = fs::current_path();
    fs::current_path(folder.dir);
    EXPECT_EQ(where("home/x.xml"), "real/x.xml");
    fs::current_path(before);
}

// The folders the game makes are the player's alone; one that was there keeps its mode, and
// without being asked the walk makes nothing: the file is then missing with its folder.
TEST(FileTarget, MakesTheMissingFoldersOfTheNameForThePlayerAlone) {
    Folder folder;
    const fs::path file = folder.dir / "home/.local/share/dravolt/hiscore.xml";
    fs::create_directories(folder.dir / "home/.local");
    fs::permissions(folder.dir / "home/.local", fs::perms(0751));
    const OrRefusal<FileTarget> missing = FileTarget::find(file);
    ASSERT_TRUE(missing.ok());
    EXPECT_FALSE(missing.value().folder().valid());
    EXPECT_EQ(missing.value().path(), file.string());
    EXPECT_FALSE(fs::exists(folder.dir / "home/.local/share"));
    for (int twice = 0; twice < 2; ++twice) {
        const OrRefusal<FileTarget> made = FileTarget::find(file, FileTarget::Folders::MakeMissing);
        ASSERT_TRUE(made.ok()) << made.refusal().why();
        EXPECT_TRUE(made.value().folder().valid());
        EXPECT_EQ(made.value().name(), "hiscore.xml");
    }
    EXPECT_EQ(fs::status(folder.dir / "home/.local").permissions(), fs::perms(0751));
    EXPECT_EQ(fs::status(folder.dir / "home/.local/share").permissions(), fs::perms(0700));
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms(0700));
    // Inside what a link leads to nothing is made: the link may point anywhere.
    fs::create_directory_symlink(folder.dir / "nowhere", folder.dir / "dangling");
    const OrRefusal<FileTarget> led =
        FileTarget::find(folder.dir / "dangling/sub/x", FileTarget::Folders::MakeMissing);
    ASSERT_TRUE(led.ok());
    EXPECT_FALSE(led.value().folder().valid());
    EXPECT_FALSE(fs::exists(folder.dir / "nowhere"));
}

// A home reached through another user's link: the link is named, and nothing is made beyond
// it before the game refuses to write there. Root's own links are the system's.
TEST(FileTarget, MakesNothingThroughAnotherUsersLink) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    Folder folder;
    fs::create_directory(folder.dir / "real");
    fs::create_directory_symlink("real", folder.dir / "home");
    const std::string link = (folder.dir / "home").string();
    const OrRefusal<FileTarget> root =
        FileTarget::find(link + "/.local/x", FileTarget::Folders::MakeMissing);
    ASSERT_TRUE(root.ok());
    EXPECT_EQ(root.value().foreignLink(), "");
    EXPECT_FALSE(root.value().writeRefusal());
    fs::remove_all(folder.dir / "real/.local");
    ASSERT_EQ(lchown(link.c_str(), nobody, nogroup), 0);
    const OrRefusal<FileTarget> foreign =
        FileTarget::find(link + "/.local/share/dravolt/x", FileTarget::Folders::MakeMissing);
    ASSERT_TRUE(foreign.ok());
    EXPECT_EQ(foreign.value().foreignLink(), link);
    ASSERT_TRUE(foreign.value().writeRefusal());
    EXPECT_EQ(foreign.value().writeRefusal()->why(),
              "it is reached through a link that belongs to another user ('" + link + "')");
    EXPECT_EQ(namesIn(folder.dir / "real"), std::vector<std::string>{});
}

// What the game does after the walk happens in the folder that was walked, by its
// descriptor: a folder on the way swapped for a link afterwards leads the game nowhere else.
TEST(FileTarget, TheFolderFoundStaysTheOneWrittenTo) {
    Folder folder;
    fs::create_directories(folder.dir / "shared/scores");
    fs::create_directories(folder.dir / "private/scores");
    writeFile(folder.dir / "private/scores/table.xml", "private");
    const OrRefusal<FileTarget> found = FileTarget::find(folder.dir / "shared/scores/table.xml");
    ASSERT_TRUE(found.ok());
    fs::rename(folder.dir / "shared", folder.dir / "moved");
    fs::create_directory_symlink("private", folder.dir / "shared");
    EXPECT_FALSE(SafeFile(found.value()).replace("written", std::nullopt));
    EXPECT_EQ(readFile(folder.dir / "moved/scores/table.xml"), "written");
    EXPECT_EQ(readFile(folder.dir / "private/scores/table.xml"), "private");
}
