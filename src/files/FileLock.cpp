#include "files/FileLock.hpp"

#include "files/WakeUpCall.hpp"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

Refusal notPlain(const std::string& shown) {
    return Refusal("its lock file '" + shown + "' is not a regular file");
}

// Waits for the lock in the kernel: when the holder lets go, the kernel wakes the waiting
// games at once, where a game that polled would mostly find it taken again.
std::optional<Refusal> waitInQueue(int fd, const std::string& shown,
                                   std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const WakeUpCall wakeUp(limit);
    // Without a timer to end the wait, the game looks again every few milliseconds instead.
    const int how = wakeUp.armed() ? LOCK_EX : LOCK_EX | LOCK_NB;
    while (::flock(fd, how) != 0) {
        if (errno == EWOULDBLOCK)
            ::usleep(2000);
        else if (errno != EINTR)
            return Refusal::systemError("can't lock '" + shown + "'");
        // A frame waits here, so the wait is bounded: a game that holds the lock longer has
        // hung, and this save gives way instead of the window.
        if (std::chrono::steady_clock::now() >= deadline)
            return Refusal("another game is saving it at this moment");
    }
    return std::nullopt;
}

} // namespace

OrRefusal<FileLock> FileLock::take(const FileDescriptor& folder, const std::string& name,
                                   const std::string& shown, std::chrono::milliseconds limit) {
    // Read access is all a flock needs, so a lock file that another player's game made can
    // still be shared; O_NOFOLLOW keeps a link planted under its name from being created
    // through, O_NONBLOCK a pipe put there meanwhile from blocking the open.
    FileDescriptor fd(::openat(folder.get(), name.c_str(),
                               O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                               0644));
    if (!fd.valid())
        return Refusal::systemError("can't open the lock file '" + shown + "'");
    struct stat info = {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return notPlain(shown);
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return Refusal::systemError("can't lock '" + shown + "'");
        if (std::optional<Refusal> refused = waitInQueue(fd.get(), shown, limit))
            return *refused;
    }
    return FileLock(std::move(fd));
}
