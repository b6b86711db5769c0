#include "files/FileLock.hpp"

#include "files/FileTarget.hpp"
#include "files/FileTestSupport.hpp"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;
using std::chrono::milliseconds;

namespace {

FileDescriptor folderOf(const Folder& folder) {
    return FileDescriptor(open(folder.dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

// "held", or why not.
std::string take(const Folder& folder, milliseconds wait) {
    const OrRefusal<FileLock> lock = FileLock::take(folderOf(folder), "t.lock", "t.lock", wait);
    return lock.ok() ? "held" : lock.refusal().why();
}

// The lock taken by hand, as another game holds it.
struct Holder {
    explicit Holder(const Folder& folder)
        : fd(open((folder.dir / "t.lock").c_str(), O_RDONLY | O_CREAT, 0644)) {
        flock(fd.get(), LOCK_EX);
    }
    FileDescriptor fd;
};

} // namespace

// Whatever stands under the lock's name that is not a plain file is refused at once: a pipe
// would block the open for good (a regression ends the child by its alarm), a link could lead
// anywhere.
TEST(FileLock, RefusesAnythingButAPlainFileWithoutWaiting) {
    Folder folder;
    const auto refusal = [&] {
        return Child([&] {
                   alarm(20);
                   return take(folder, milliseconds(100));
               })
            .result();
    };
    ASSERT_EQ(mkfifo((folder.dir / "t.lock").c_str(), 0666), 0);
    EXPECT_EQ(refusal(), "its lock file 't.lock' is not a regular file");
    fs::remove(folder.dir / "t.lock");
    fs::create_directory(folder.dir / "t.lock");
    EXPECT_EQ(refusal(), "can't open the lock file 't.lock': Is a directory");
    fs::remove(folder.dir / "t.lock");
    fs::create_symlink("notes", folder.dir / "t.lock");
    EXPECT_EQ(refusal(), "can't open the lock file 't.lock': Too many levels of symbolic links");
    EXPECT_FALSE(fs::exists(folder.dir / "notes"));
}

// A lock another game holds longer than the wait is refused; one it lets go is taken, and
// the lock file stays for the next game.
TEST(FileLock, WaitsForTheHolderAtMostTheWait) {
    Folder folder;
    {
        const Holder holder(folder);
        // A wait without end would block the child until its alarm.
        EXPECT_EQ(Child([&] {
                      alarm(20);
                      return take(folder, milliseconds(50));
                  }).result(),
                  "another game is saving it at this moment");
    }
    EXPECT_EQ(take(folder, milliseconds(50)), "held");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"t.lock"});
}

// The wake-up that ends a wait goes with it: the thread's later calls are not interrupted.
TEST(FileLock, AWaitThatRanOutLeavesTheThreadInPeace) {
    Folder folder;
    alarm(20); // a wait that is never woken ends the test
    {
        const Holder holder(folder);
        EXPECT_EQ(take(folder, milliseconds(20)), "another game is saving it at this moment");
    }
    alarm(0);
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    std::thread writer([&] {
        usleep(100000);
        EXPECT_EQ(write(channel[1], "x", 1), 1);
    });
    char byte = 0;
    EXPECT_EQ(read(channel[0], &byte, 1), 1) << std::strerror(errno);
    writer.join();
    close(channel[0]);
    close(channel[1]);
}
