#pragma once

#include "engine/SignalWatcher.h"

namespace clipforge {

// Ends the program the ordinary way on SIGTERM, SIGINT, SIGQUIT or SIGHUP (unless started with it
// ignored): the windows close, a run ends as Stop ends it, every destructor runs. SIGPIPE is
// ignored.
class QuitOnSignal {
public:
    QuitOnSignal();

    // A signal that arrives before the message loop runs (during the splash) cannot end a
    // loop; the start asks this before entering one.
    bool quitRequested() const { return watcher_.signalled(); }

private:
    SignalWatcher watcher_;
};

}  // namespace clipforge
