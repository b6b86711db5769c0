#include "files/SafeFile.hpp"

#include "files/FileTarget.hpp"
#include "files/FileTestSupport.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// "made", or why not.
std::string createNew(const fs::path& file, const std::string& bytes) {
    const OrRefusal<FileTarget> target =
        FileTarget::find(file, FileTarget::Folders::Existing, FileTarget::LastLink::Keep);
    if (!target.ok())
        return target.refusal().why();
    const std::optional<Refusal> refused = SafeFile(target.value()).createNew(bytes);
    return refused ? refused->why() : "made";
}

} // namespace

// A file that must be new never goes through a link planted under its name, nor over a file
// there: what stands there is left as it is, and no temporary file remains.
TEST(SafeFileCreate, MakesANewFileOnlyWhereTheNameIsFree) {
    Folder folder;
    writeFile(folder.dir / "notes.txt", "Buy milk.");
    writeFile(folder.dir / "taken.png", "older");
    fs::create_symlink("notes.txt", folder.dir / "to-notes.png");
    fs::create_symlink("gone.txt", folder.dir / "dangling.png");
    for (const char* name : {"to-notes.png", "dangling.png", "taken.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(createNew(folder.dir / name, "PNG"), "a file of that name exists already");
    }
    EXPECT_EQ(readFile(folder.dir / "notes.txt"), "Buy milk.");
    EXPECT_EQ(readFile(folder.dir / "taken.png"), "older");
    EXPECT_FALSE(fs::exists(folder.dir / "gone.txt"));
    EXPECT_EQ(fs::read_symlink(folder.dir / "to-notes.png"), "notes.txt");
    const mode_t umask = ::umask(022);
    EXPECT_EQ(createNew(folder.dir / "free.png", "PNG"), "made");
    ::umask(umask);
    EXPECT_EQ(readFile(folder.dir / "free.png"), "PNG");
    EXPECT_EQ(fs::status(folder.dir / "free.png").permissions(), fs::perms(0644));
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"dangling.png", "free.png", "notes.txt",
                                                        "taken.png", "to-notes.png"}));
}

// A pipe is not read (it could block for good: a regression ends the child by its alarm),
// nor a folder, nor a file without its owner's read bit; a missing file is no failure.
TEST(SafeFileRead, ReadsOnlyAPlainFileItsOwnerMayRead) {
    Folder folder;
    const auto read = [&](const std::string& name) {
        return Child([&] {
                   alarm(20);
                   const OrRefusal<FileTarget> target = FileTarget::find(folder.dir / name);
                   const auto bytes = SafeFile(target.value()).read(100);
                   if (!bytes.ok())
                       return bytes.refusal().why();
                   return bytes.value() ? "read: " + *bytes.value() : std::string("missing");
               })
            .result();
    };
    ASSERT_EQ(mkfifo((folder.dir / "pipe").c_str(), 0666), 0);
    fs::create_directory(folder.dir / "folder");
    writeFile(folder.dir / "locked", "secret");
    fs::permissions(folder.dir / "locked", fs::perms(0277));
    writeFile(folder.dir / "table", "table");
    EXPECT_EQ(read("pipe"), "not a regular file");
    EXPECT_EQ(read("folder"), "not a regular file");
    EXPECT_EQ(read("locked"), "Permission denied");
    EXPECT_EQ(read("table"), "read: table");
    EXPECT_EQ(read("none"), "missing");
}
