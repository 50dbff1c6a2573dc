#include "engine/Pipe.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace clipforge {

int createPipe(Pipe& pipe)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return errno;
    pipe.readEnd = FileDescriptor(fds[0]);
    pipe.writeEnd = FileDescriptor(fds[1]);
    return 0;
}

int setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        return errno;
    return 0;
}

void growPipe(const Pipe& pipe, int bytes)
{
    if (pipe.readEnd.valid())
        ::fcntl(pipe.readEnd.get(), F_SETPIPE_SZ, bytes);
}

int bytesWaiting(int fd, int& waiting)
{
    return ::ioctl(fd, FIONREAD, &waiting) == 0 ? 0 : errno;
}

namespace {

std::optional<std::size_t> transferred(ssize_t count, int& error)
{
    error = 0;
    if (count >= 0)
        return static_cast<std::size_t>(count);
    if (errno != EAGAIN && errno != EINTR)
        error = errno;
    return std::nullopt;
}

}  // namespace

std::optional<std::size_t> readSome(int fd, std::span<char> buffer, int& error)
{
    return transferred(::read(fd, buffer.data(), buffer.size()), error);
}

bool waitReadable(int fd, std::chrono::milliseconds timeout)
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd watched{fd, POLLIN, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(std::max<long long>(0, left.count())));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return ready != 0;
    }
}

std::optional<std::size_t> writeSome(int fd, std::string_view bytes, int& error)
{
    return transferred(::write(fd, bytes.data(), bytes.size()), error);
}

}  // namespace clipforge
