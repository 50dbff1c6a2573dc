#include "Joblog.h"

#include "core/Errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace clipforge {

// Opened without waiting: a FIFO with no reader would block the open for good. A link is
// followed, but only to a regular file.
Joblog::Joblog(const std::string& path)
    : path_(path)
{
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    if (!fd.valid() && errno != ENXIO)
        throw Error("cannot open the joblog " + path + ": " + std::strerror(errno));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw Error("the joblog " + path + " is not a regular file");
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) & ~O_NONBLOCK);
    lock_ = WriterLock::lockOpened(std::move(fd));
    if (!lock_.held())
        throw Error("the joblog " + path + " is in use by another run");
}

// One write per line: with O_APPEND a line is never split, and once write returns it survives
// the process however it ends.
void Joblog::append(const std::string& line)
{
    const std::string bytes = line + '\n';
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(lock_.fd(), bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            throw Error("cannot write the joblog " + path_ + ": " + std::strerror(errno));
        done += static_cast<std::size_t>(wrote);
    }
}

void Joblog::flushToDisk()
{
    if (::fdatasync(lock_.fd()) != 0)
        throw Error("cannot flush the joblog " + path_ + ": " + std::strerror(errno));
}

}  // namespace clipforge
