#pragma once
// An advisory lock (flock) on a lock file beside the file it guards, held while a game reads,
// merges and replaces the table, so that games saving at once take turns. The lock file is
// never renamed or removed: a replace cannot pull it away from a game waiting on it, and a game
// that is killed leaves no stale lock, since the kernel drops a flock with its process.

#include "hiscore/FileDescriptor.hpp"

#include <chrono>
#include <string>

class FileLock {
public:
    // Takes the lock on lockFile (made when missing), waiting at most `wait` for another holder
    // to let go; held() tells whether it got it, and failure why not. Released on destruction.
    FileLock(const std::string& lockFile, std::chrono::milliseconds wait);
    virtual ~FileLock() = default;

    bool held() const { return failure.empty(); }

    // Why the lock was not taken, as a short phrase; empty when it is held.
    std::string failure;

private:
    FileDescriptor fd;
};
