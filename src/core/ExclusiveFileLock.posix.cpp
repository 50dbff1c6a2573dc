#include "core/ExclusiveFileLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace clipforge {

ExclusiveFileLock ExclusiveFileLock::tryLock(const std::string& path)
{
    return take(path, false);
}

ExclusiveFileLock ExclusiveFileLock::waitForLock(const std::string& path)
{
    return take(path, true);
}

ExclusiveFileLock ExclusiveFileLock::take(const std::string& path, bool wait)
{
    // Read-write, so that file systems that emulate flock with record locks can lock it too.
    FileDescriptor fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.valid())
        return {};
    int result = 0;
    do
        result = ::flock(fd.get(), wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    return result == 0 ? ExclusiveFileLock(std::move(fd)) : ExclusiveFileLock();
}

}  // namespace clipforge
