#include "engine/Pipe.h"

#include <cerrno>
#include <fcntl.h>
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

}  // namespace clipforge
