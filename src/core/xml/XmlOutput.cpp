#include "core/xml/XmlOutput.h"

#include <algorithm>

namespace clipforge {

namespace {

// Large enough that handing on costs little per byte, small enough to stay in
// the processor's cache.
constexpr std::size_t stringBufferSize = 64 * 1024;

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

}  // namespace clipforge
