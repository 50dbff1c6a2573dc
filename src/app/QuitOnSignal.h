#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace clipforge {

// Ends the program the ordinary way on SIGTERM, SIGINT or SIGHUP: the windows close, every
// destructor runs, and a converter that is still running is killed with them.
class QuitOnSignal : public QObject {
public:
    QuitOnSignal();
    ~QuitOnSignal() override;
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

    // A signal that arrives before the message loop runs (during the splash) cannot end a
    // loop; the start asks this before entering one.
    bool quitRequested() const { return quitRequested_; }

private:
    void signalArrived();

    std::unique_ptr<QSocketNotifier> notifier_;
    bool quitRequested_ = false;
};

}  // namespace clipforge
