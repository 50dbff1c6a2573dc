#include "ClosedOutput.h"

#include <ostream>

namespace clipforge {
namespace {

constexpr int CheckInterval = 200;

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
