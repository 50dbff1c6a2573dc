#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace clipforge {

// Turns Ctrl-C (SIGINT) and SIGTERM into a call on the main thread's event loop. The signal
// handler only writes one byte to a pipe; everything else happens in the loop, where stopping
// a run is safe. The previous handlers come back after the first signal, and when the watcher
// is destroyed.
class InterruptWatcher : public QObject {
    Q_OBJECT

public:
    explicit InterruptWatcher(std::function<void()> onInterrupt);
    ~InterruptWatcher() override;
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;

    bool Interrupted() const { return interrupted_; }

private:
    void drain();
    static void restoreHandlers();

    std::function<void()> onInterrupt_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool interrupted_ = false;
};

}  // namespace clipforge
