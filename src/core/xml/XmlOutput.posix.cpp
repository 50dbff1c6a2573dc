#include "core/xml/XmlOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace clipforge {

namespace {

// Larger than a string's buffer: every hand-on here is a system call.
constexpr std::size_t fileBufferSize = 256 * 1024;
// Written data is passed to the disk in slices of this size while the rest is
// still being produced, so the final flush to disk finds little left to do.
constexpr std::size_t writeBehindSlice = 4 * 1024 * 1024;

}  // namespace

XmlFileOutput::XmlFileOutput(int fd) : XmlOutput(fileBufferSize), fd_(fd) {}

void XmlFileOutput::deliver(const char* bytes, std::size_t size)
{
    while (error_ == 0 && size > 0) {
        const ssize_t written = ::write(fd_, bytes, size);
        if (written < 0) {
            if (errno != EINTR)
                error_ = errno;
            continue;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
        written_ += static_cast<std::size_t>(written);
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // Only a head start for the disk: the caller's fsync still decides when
    // the data is safe, so a failure here changes nothing.
    if (error_ == 0 && written_ - scheduled_ >= writeBehindSlice) {
        ::sync_file_range(fd_, static_cast<off_t>(scheduled_), static_cast<off_t>(written_ - scheduled_),
                          SYNC_FILE_RANGE_WRITE);
        scheduled_ = written_;
    }
#endif
}

}  // namespace clipforge
