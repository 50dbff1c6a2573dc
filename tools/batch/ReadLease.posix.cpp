#include "ReadLease.h"

#include "core/FileDescriptor.h"

#include <fcntl.h>

#include <cerrno>

namespace clipforge {

WriterCheck checkForWriters(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        return WriterCheck::CannotTell;
    // Non-blocking, so that a FIFO put at the name meanwhile cannot hold the watcher up.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.valid())
        return WriterCheck::CannotTell;
    if (::fcntl(file.get(), F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(file.get(), F_SETLEASE, F_UNLCK);
        return WriterCheck::NoWriter;
    }
    return errno == EAGAIN ? WriterCheck::Writing : WriterCheck::CannotTell;
}

}  // namespace clipforge
