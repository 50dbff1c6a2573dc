#pragma once

#include "core/FileDescriptor.h"
#include "core/FileSystem.h"

#include <string>

namespace clipforge {

// An exclusive flock on a lock file, held for as long as the object lives. It is how a writer
// shows that its unfinished files are still wanted, how one instance claims a file as its only
// writer, and how changes to a file take turns: the kernel lets go of the lock when the holder
// dies, however it dies, so whether a holder is still there is never guessed from process ids
// (reused) or ages (clocks and machines differ).
//
// The file is opened read-write because network file systems emulate flock with a write lock.
// They also grant one process's locks to the same process again, so every lock held here is
// remembered and heldHere() answers for it.
class WriterLock {
public:
    WriterLock() = default;
    WriterLock(WriterLock&& other) noexcept;
    WriterLock& operator=(WriterLock&& other) noexcept;
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;
    ~WriterLock();

    // Creates path (it must not exist) with permissions (less the umask) and locks it. Invalid, errno
    // set, when the file cannot be made, or when a cleaner took it for a leftover before it was
    // locked (the caller tries another name).
    static WriterLock create(const std::string& path, unsigned permissions = 0600);
    // Locks the existing file at name inside folderFd without waiting. Invalid when it is
    // missing, locked by anyone (this process included) or no longer the file of that name.
    static WriterLock takeLeftover(int folderFd, const std::string& name);
    // Opens path (created, readable by its owner only, when missing) and locks it without
    // waiting. Invalid when another holds the lock, this process included, or when path cannot
    // be opened. The file stays when the lock goes: removing a lock file would let two
    // processes lock two different files under one name.
    static WriterLock tryLock(const std::string& path);
    // The same, but waits for as long as another process holds the lock. Invalid, errno set,
    // when path cannot be opened or locked.
    static WriterLock waitForLock(const std::string& path);
    // Locks a file the caller has opened (and checked) itself, such as a journal it appends to
    // through fd(), without waiting. Invalid when another holds the lock, this process included.
    static WriterLock lockOpened(FileDescriptor fd);

    bool held() const { return fd_.valid(); }
    int fd() const { return fd_.get(); }
    // True while name inside folderFd still leads to the locked file.
    bool stillAt(int folderFd, const std::string& name) const;
    // Unlocks and closes now.
    void release();

    // True when this process holds a lock on the file.
    static bool heldHere(FileIdentity file);

private:
    enum class Wait { No, Yes };

    explicit WriterLock(FileDescriptor fd);
    static WriterLock openAndLock(const std::string& path, Wait wait);
    bool lock(Wait wait = Wait::No);

    FileDescriptor fd_;
    FileIdentity file_;
};

// This machine's name as it goes into the names of unfinished files: letters, digits and "-"
// only (anything else becomes "_"), so the name can be cut apart again.
std::string hostTag();

}  // namespace clipforge
