#include "core/xml/XmlOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace clipforge {

namespace {

// Large enough that handing on costs little per byte, small enough to stay in
// the processor's cache.
constexpr std::size_t stringBufferSize = 64 * 1024;
constexpr std::size_t fileBufferSize = 256 * 1024;
// Written data is passed to the disk in slices of this size while the rest is
// still being produced, so the final flush to disk finds little left to do.
constexpr std::size_t writeBehindSlice = 4 * 1024 * 1024;

}  // namespace

// ---- XmlOutput

XmlOutput::XmlOutput(std::size_t bufferSize)
    : buffer_(new char[bufferSize]), pos_(buffer_), limit_(buffer_ + bufferSize)
{
}

XmlOutput::~XmlOutput() { delete[] buffer_; }

void XmlOutput::flush()
{
    if (pos_ != buffer_)
        deliver(buffer_, static_cast<std::size_t>(pos_ - buffer_));
    pos_ = buffer_;
}

void XmlOutput::writeSlowly(const char* bytes, std::size_t size)
{
    while (size > 0) {
        if (pos_ == limit_)
            flush();
        const std::size_t part = std::min(size, static_cast<std::size_t>(limit_ - pos_));
        std::memcpy(pos_, bytes, part);
        pos_ += part;
        bytes += part;
        size -= part;
    }
}

void XmlOutput::spacesSlowly(std::size_t count)
{
    while (count > 0) {
        const std::size_t part = std::min(count, blankCount);
        write(blanks, part);
        count -= part;
    }
}

// ---- XmlStringOutput

XmlStringOutput::XmlStringOutput(std::string& target) : XmlOutput(stringBufferSize), target_(target) {}

void XmlStringOutput::deliver(const char* bytes, std::size_t size) { target_.append(bytes, size); }

// ---- XmlFileOutput

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
