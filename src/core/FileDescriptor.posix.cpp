#include "core/FileDescriptor.h"

#include <unistd.h>

namespace clipforge {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool FileDescriptor::close()
{
    const int fd = std::exchange(fd_, -1);
    return fd < 0 || ::close(fd) == 0;
}

}  // namespace clipforge
