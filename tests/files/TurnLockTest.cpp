#include "files/TurnLock.hpp"

#include "files/FileTestSupport.hpp"

#include <atomic>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>

namespace {

OrRefusal<TurnLock> take(const FileDescriptor& folder) {
    return TurnLock::take(folder, "t", "t", std::chrono::seconds(30));
}

} // namespace

// A game that lets go of the lock and wants it again at once finds the game that waited
// before it: it gets the lock only after that one, time after time, and both files stay.
TEST(TurnLock, AGameWaitingForTheLockIsNotPassedByTheHolder) {
    Folder folder;
    const FileDescriptor dir(open(folder.dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::optional<OrRefusal<TurnLock>> held(take(dir));
    ASSERT_TRUE(held->ok());
    for (int round = 0; round < 20; ++round) {
        std::atomic<bool> waited{false};
        std::atomic<bool> hadIt{false};
        std::thread other([&] {
            waited = true;
            const OrRefusal<TurnLock> turn = take(dir);
            hadIt = turn.ok();
        });
        while (!waited)
            std::this_thread::yield();
        usleep(5000); // the other game is waiting by now
        held.reset();
        held.emplace(take(dir));
        ASSERT_TRUE(held->ok());
        EXPECT_TRUE(hadIt) << "round " << round << ": the holder took the lock again first";
        other.join();
    }
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"t.lock", "t.queue"}));
}
