#include "core/WriterLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <mutex>
#include <set>
#include <utility>

namespace clipforge {
namespace {

struct HeldLocks {
    std::mutex mutex;
    std::set<FileIdentity> files;
};

HeldLocks& heldLocks()
{
    static HeldLocks locks;
    return locks;
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

FileIdentity identityOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

WriterLock::WriterLock(FileDescriptor fd) : fd_(std::move(fd)) {}

WriterLock::WriterLock(WriterLock&& other) noexcept
    : fd_(std::move(other.fd_)), file_(std::exchange(other.file_, {}))
{
}

WriterLock& WriterLock::operator=(WriterLock&& other) noexcept
{
    if (this != &other) {
        release();
        fd_ = std::move(other.fd_);
        file_ = std::exchange(other.file_, {});
    }
    return *this;
}

WriterLock::~WriterLock() { release(); }

WriterLock WriterLock::create(const std::string& path, unsigned permissions)
{
    WriterLock lock(FileDescriptor(
        ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(permissions))));
    if (!lock.held() || !lock.lock())
        return {};
    struct stat mine {};
    struct stat there {};
    if (::fstat(lock.fd(), &mine) != 0 || ::lstat(path.c_str(), &there) != 0 || !sameFile(mine, there)) {
        errno = ENOENT;
        return {};
    }
    return lock;
}

WriterLock WriterLock::takeLeftover(int folderFd, const std::string& name)
{
    struct stat info {};
    if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
        heldHere(identityOf(info)))
        return {};
    WriterLock lock(FileDescriptor(::openat(folderFd, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)));
    // Taken after the name was looked up: the file may have been finished and replaced meanwhile.
    if (!lock.held() || !lock.lock() || !lock.stillAt(folderFd, name))
        return {};
    return lock;
}

WriterLock WriterLock::tryLock(const std::string& path) { return openAndLock(path, Wait::No); }

WriterLock WriterLock::waitForLock(const std::string& path) { return openAndLock(path, Wait::Yes); }

WriterLock WriterLock::lockOpened(FileDescriptor fd)
{
    WriterLock lock(std::move(fd));
    if (!lock.held() || !lock.lock())
        return {};
    return lock;
}

WriterLock WriterLock::openAndLock(const std::string& path, Wait wait)
{
    WriterLock lock(FileDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)));
    if (!lock.held() || !lock.lock(wait))
        return {};
    return lock;
}

bool WriterLock::lock(Wait wait)
{
    int result = 0;
    do
        result = ::flock(fd_.get(), wait == Wait::Yes ? LOCK_EX : LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        fd_.close();
        errno = error;
        return false;
    }
    struct stat info {};
    if (::fstat(fd_.get(), &info) != 0) {
        fd_.close();
        return false;
    }
    const std::lock_guard<std::mutex> guard(heldLocks().mutex);
    if (!heldLocks().files.insert(identityOf(info)).second) {
        // This process holds it already, through a network file system that let us in twice.
        fd_.close();
        return false;
    }
    file_ = identityOf(info);
    return true;
}

bool WriterLock::stillAt(int folderFd, const std::string& name) const
{
    struct stat mine {};
    struct stat there {};
    return held() && ::fstat(fd_.get(), &mine) == 0 &&
           ::fstatat(folderFd, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(mine, there);
}

void WriterLock::release()
{
    if (!held())
        return;
    {
        const std::lock_guard<std::mutex> guard(heldLocks().mutex);
        heldLocks().files.erase(file_);
    }
    fd_.close();
}

bool WriterLock::heldHere(FileIdentity file)
{
    const std::lock_guard<std::mutex> guard(heldLocks().mutex);
    return heldLocks().files.count(file) > 0;
}

std::string hostTag()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "localhost";
    std::string tag(name);
    for (char& c : tag) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
        if (!plain)
            c = '_';
    }
    return tag;
}

}  // namespace clipforge
