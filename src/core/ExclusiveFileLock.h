#pragma once

#include "core/FileDescriptor.h"

#include <string>

namespace clipforge {

// An exclusive flock(2) on a file. The kernel lets go of it when the descriptor closes, also when
// its process dies in any way, so whether a holder is still there is never guessed from a process
// id or the file's age. The file itself stays: removing a lock file would let two processes lock
// two different files under one name.
class ExclusiveFileLock {
public:
    ExclusiveFileLock() = default;

    // Opens path (created, readable by its owner only, when missing) and locks it without
    // waiting. Not held when another open file holds the lock, or when path cannot be opened.
    static ExclusiveFileLock tryLock(const std::string& path);
    // The same, but waits for as long as another holds the lock. Not held, errno set, when path
    // cannot be opened or locked.
    static ExclusiveFileLock waitForLock(const std::string& path);

    bool held() const { return fd_.valid(); }

private:
    explicit ExclusiveFileLock(FileDescriptor fd) : fd_(std::move(fd)) {}
    static ExclusiveFileLock take(const std::string& path, bool wait);

    FileDescriptor fd_;
};

}  // namespace clipforge
