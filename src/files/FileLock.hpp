#pragma once
// An advisory lock (flock) on a lock file beside the file it guards, held while a game reads,
// merges and replaces the table, so that games saving at once take turns. The lock file is
// never renamed or removed: a replace cannot pull it away from a game waiting on it, and a game
// that is killed leaves no stale lock, since the kernel drops a flock with its process.
//
// The lock is the only file of the game's that anybody else may have made (another player's
// game, sharing the table). So it is opened without following a link and without waiting
// for anything (a pipe planted under its name would block an open for good), and only a
// plain file is locked.

#include "files/FileDescriptor.hpp"
#include "files/OrRefusal.hpp"

#include <chrono>
#include <string>

class FileLock {
public:
    // Takes the lock on the file `name` in `folder` (made when missing), waiting in the
    // kernel's queue at most `wait` for the games before it to let go; `shown` names it in
    // messages. Released on destruction.
    static OrRefusal<FileLock> take(const FileDescriptor& folder, const std::string& name,
                                    const std::string& shown, std::chrono::milliseconds wait);

private:
    explicit FileLock(FileDescriptor lockFile) : m_fd(std::move(lockFile)) {}

    FileDescriptor m_fd;
};
