#include "hiscore/FileLock.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>

FileLock::FileLock(const std::string& lockFile, std::chrono::milliseconds wait) {
    // Read access is all a flock needs, so a lock file that another player's game made can
    // still be shared; O_NOFOLLOW keeps a link planted under its name from being created
    // through.
    fd = FileDescriptor(
        ::open(lockFile.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644));
    if (!fd.valid()) {
        failure = "can't open the lock file '" + lockFile + "': " + std::strerror(errno);
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            failure = "can't lock '" + lockFile + "': " + std::strerror(errno);
            return;
        }
        // A frame waits here, so the wait is short and bounded: a game that holds the lock
        // longer has hung, and this save gives way instead of the window.
        if (std::chrono::steady_clock::now() >= deadline) {
            failure = "another game is saving it at this moment";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
