#pragma once

#include <QObject>

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

    // The signals that end a run in both programs: SIGINT, SIGTERM, SIGQUIT, and SIGHUP unless
    // it was ignored when the program started (nohup), which keeps it ignored. SIGINT and
    // SIGQUIT are caught although a shell starts background jobs with them ignored.
    static std::vector<int> runEndingSignals();
    // The same with SIGHUP even when the program started with it ignored: for work that a closed
    // SSH session must stop just as Ctrl-C does.
    static std::vector<int> jobStoppingSignals();

    // False when the pipe could not be made; no signal is then watched.
    bool watching() const { return notifier_ != nullptr; }
    bool signalled() const { return firstSignal_ != 0; }
    // The first signal that arrived; 0 before any.
    int firstSignal() const { return firstSignal_; }
    void restoreHandlers();

private:
    void drain();

    std::vector<int> signalNumbers_;
    struct PreviousHandlers;
    std::unique_ptr<PreviousHandlers> previous_;
    std::function<void()> onSignal_;
    Pipe wake_;
    std::unique_ptr<QSocketNotifier> notifier_;
    int firstSignal_ = 0;
};

}  // namespace clipforge
