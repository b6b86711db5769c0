#include "files/TurnLock.hpp"

#include <algorithm>

OrRefusal<TurnLock> TurnLock::take(const FileDescriptor& folder, const std::string& name,
                                   const std::string& shown, std::chrono::milliseconds wait) {
    using std::chrono::milliseconds;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    OrRefusal<FileLock> queue = FileLock::take(folder, name + ".queue", shown + ".queue", wait);
    if (!queue.ok())
        return queue.refusal();
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
    OrRefusal<FileLock> lock =
        FileLock::take(folder, name + ".lock", shown + ".lock", std::max(left, milliseconds(0)));
    if (!lock.ok())
        return lock.refusal();
    return TurnLock(std::move(lock.value())); // the queue goes: the next in it may wait now
}
