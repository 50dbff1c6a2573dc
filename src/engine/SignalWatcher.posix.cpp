#include "engine/SignalWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace clipforge {

namespace {

std::atomic<int> wakeDescriptor{-1};

constexpr auto SameRequestWithin = std::chrono::seconds(1);

// Only async-signal-safe work here: the event loop picks the byte, the signal's number, up.
extern "C" void onSignalArrived(int signal)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(wakeDescriptor.load(), &byte, 1);
    errno = savedErrno;
}

bool ignored(int signal)
{
    struct sigaction current {};
    return ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

std::vector<int> SignalWatcher::runEndingSignals()
{
    std::vector<int> ending{SIGINT, SIGTERM, SIGQUIT};
    if (!ignored(SIGHUP))
        ending.push_back(SIGHUP);
    return ending;
}

std::vector<int> SignalWatcher::jobStoppingSignals()
{
    return {SIGINT, SIGTERM, SIGQUIT, SIGHUP};
}

struct SignalWatcher::PreviousHandlers {
    std::vector<struct sigaction> actions;
};

SignalWatcher::SignalWatcher(std::vector<int> signalNumbers, std::function<void()> onSignal)
    : signalNumbers_(std::move(signalNumbers)),
      previous_(std::make_unique<PreviousHandlers>()),
      onSignal_(std::move(onSignal))
{
    if (createPipe(wake_) != 0 || setNonBlocking(wake_.readEnd.get()) != 0 || setNonBlocking(wake_.writeEnd.get()) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(wake_.readEnd.get(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { drain(); });
    wakeDescriptor.store(wake_.writeEnd.get());
    struct sigaction action {};
    action.sa_handler = onSignalArrived;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    std::vector<struct sigaction>& previous = previous_->actions;
    previous.resize(signalNumbers_.size());
    for (std::size_t i = 0; i < signalNumbers_.size(); ++i)
        ::sigaction(signalNumbers_[i], &action, &previous[i]);
}

SignalWatcher::~SignalWatcher()
{
    restoreHandlers();
    notifier_.reset();
    wakeDescriptor.store(-1);
}

void SignalWatcher::restoreHandlers()
{
    std::vector<struct sigaction>& previous = previous_->actions;
    for (std::size_t i = 0; i < previous.size(); ++i)
        ::sigaction(signalNumbers_[i], &previous[i], nullptr);
    previous.clear();
}

void SignalWatcher::drain()
{
    unsigned char bytes[64];
    ssize_t count;
    while ((count = ::read(wake_.readEnd.get(), bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < count; ++i)
            note(bytes[i]);
    if (onSignal_)
        onSignal_();
}

void SignalWatcher::note(int signal)
{
    const auto now = std::chrono::steady_clock::now();
    if (firstSignal_ == 0) {
        firstSignal_ = signal;
        firstAt_ = now;
        requests_ = 1;
    } else if (now - firstAt_ >= SameRequestWithin) {
        requests_ = 2;
    }
}

}  // namespace clipforge
