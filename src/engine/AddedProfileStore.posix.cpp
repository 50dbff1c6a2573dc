#include "engine/AddedProfileStore.h"

#include "core/Errors.h"
#include "core/FileDescriptor.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstring>

namespace clipforge {

void AddedProfileStore::holdingLock(const std::string& lockPath, const std::function<void()>& work)
{
    const FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.valid())
        throw Error("cannot open the lock " + lockPath + ": " + std::strerror(errno));
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            throw Error("cannot lock " + lockPath + ": " + std::strerror(errno));
    }
    work();
}

}  // namespace clipforge
