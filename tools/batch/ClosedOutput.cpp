#include "ClosedOutput.h"

#include <poll.h>

#include <ostream>

namespace clipforge {
namespace {

constexpr int CheckInterval = 200;

// A pipe's write end reports an error once its reader is gone; a socket's, a hang-up.
bool readerGone(int fd)
{
    if (fd < 0)
        return false;
    pollfd output{fd, 0, 0};
    return ::poll(&output, 1, 0) == 1 && (output.revents & (POLLERR | POLLHUP)) != 0;
}

}  // namespace

ClosedOutput::ClosedOutput(const std::ostream& out, int fd, std::function<void()> onClosed)
    : out_(out), fd_(fd), onClosed_(std::move(onClosed))
{
    timer_.setInterval(CheckInterval);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { check(); });
    timer_.start();
}

void ClosedOutput::check()
{
    if (out_.good() && !readerGone(fd_))
        return;
    timer_.stop();
    onClosed_();
}

}  // namespace clipforge
