#pragma once

#include <QObject>

#include <csignal>
#include <functional>
#include <memory>
#include <vector>

#include "engine/Pipe.h"

class QSocketNotifier;

namespace clipforge {

// Turns signals (Ctrl-C, SIGTERM, ...) into a call on the main thread's event loop. The handler
// only writes one byte to a pipe; everything else happens in the loop, where closing windows
// or stopping a run is safe. One watcher at a time: the handler reaches its pipe through a
// process-wide slot. The previous handlers come back when the watcher goes, or earlier on
// request, so that a second Ctrl-C can end the program at once.
class SignalWatcher : public QObject {
public:
    SignalWatcher(std::vector<int> signalNumbers, std::function<void()> onSignal);
    ~SignalWatcher() override;
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

    // False when the pipe could not be made; no signal is then watched.
    bool watching() const { return notifier_ != nullptr; }
    bool signalled() const { return signalled_; }
    void restoreHandlers();

private:
    void drain();

    std::vector<int> signalNumbers_;
    std::vector<struct sigaction> previous_;
    std::function<void()> onSignal_;
    Pipe wake_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool signalled_ = false;
};

}  // namespace clipforge
