#include "ClosedOutput.h"

#include <poll.h>
#include <unistd.h>

#include <iostream>

namespace clipforge {

int ClosedOutput::descriptorOf(const std::ostream& out)
{
    return &out == &std::cout ? STDOUT_FILENO : -1;
}

// A pipe's write end reports an error once its reader is gone; a socket's, a hang-up.
bool ClosedOutput::readerGone(int fd)
{
    if (fd < 0)
        return false;
    pollfd output{fd, 0, 0};
    return ::poll(&output, 1, 0) == 1 && (output.revents & (POLLERR | POLLHUP)) != 0;
}

}  // namespace clipforge
