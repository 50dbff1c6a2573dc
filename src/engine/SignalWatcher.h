#pragma once

#include <QObject>

#include <chrono>
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
// request.
//
// Signals are counted as requests: those within a second of the first are the same request, as
// one Ctrl-C or `timeout -s INT` often reaches a program twice (itself, then its process group);
// a later one is a second request, which users mean as "end now".
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
    // 0 before any signal, 1 after the first request, 2 once a signal came a second or more
    // after the first.
    int requests() const { return requests_; }
    void restoreHandlers();

private:
    void drain();
    void note(int signal);

    std::vector<int> signalNumbers_;
    struct PreviousHandlers;
    std::unique_ptr<PreviousHandlers> previous_;
    std::function<void()> onSignal_;
    Pipe wake_;
    std::unique_ptr<QSocketNotifier> notifier_;
    int firstSignal_ = 0;
    int requests_ = 0;
    std::chrono::steady_clock::time_point firstAt_;
};

}  // namespace clipforge
