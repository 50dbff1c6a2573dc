#include "InterruptWatcher.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace clipforge {
namespace {

int wakePipe[2] = {-1, -1};
struct sigaction previousInterrupt {};
struct sigaction previousTerminate {};

extern "C" void onSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

void install(int signalNumber, struct sigaction& previous)
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, &previous);
}

}  // namespace

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt) : onInterrupt_(std::move(onInterrupt))
{
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot watch for Ctrl-C");
    notifier_ = std::make_unique<QSocketNotifier>(wakePipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &InterruptWatcher::drain);
    install(SIGINT, previousInterrupt);
    install(SIGTERM, previousTerminate);
}

InterruptWatcher::~InterruptWatcher()
{
    restoreHandlers();
    notifier_.reset();
    ::close(wakePipe[0]);
    ::close(wakePipe[1]);
    wakePipe[0] = wakePipe[1] = -1;
}

void InterruptWatcher::restoreHandlers()
{
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
}

void InterruptWatcher::drain()
{
    char bytes[64];
    while (::read(wakePipe[0], bytes, sizeof bytes) > 0) {
    }
    interrupted_ = true;
    // A second Ctrl-C ends the program at once; the converter dies with it.
    restoreHandlers();
    if (onInterrupt_)
        onInterrupt_();
}

}  // namespace clipforge
