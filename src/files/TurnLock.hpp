#pragma once
// The lock of a file that several games save, taken in turn: "<file>.lock", the lock itself,
// and "<file>.queue", where the games that want it wait. A game takes the queue first and
// lets go of it only once it holds the lock, so while one game waits for the lock, no other
// can pass it: the holder that lets go and wants the lock again at once has to queue behind
// it. Without the queue the kernel's waiters would race the holder for the lock and mostly
// lose. Games of older versions, which take the lock alone, are still kept out by it.

#include "files/FileDescriptor.hpp"
#include "files/FileLock.hpp"
#include "files/OrRefusal.hpp"

#include <chrono>
#include <string>

class TurnLock {
public:
    // Takes the lock of the file `name` in `folder`, waiting at most `wait` in all; `shown`
    // names the file in messages. Released on destruction.
    static OrRefusal<TurnLock> take(const FileDescriptor& folder, const std::string& name,
                                    const std::string& shown, std::chrono::milliseconds wait);

private:
    explicit TurnLock(FileLock held) : m_lock(std::move(held)) {}

    FileLock m_lock;
};
