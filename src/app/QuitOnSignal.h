#pragma once

#include "engine/SignalWatcher.h"

namespace clipforge {

// Ends the program the ordinary way on SIGTERM, SIGINT or SIGHUP: the windows close, every
// destructor runs, and a converter that is still running is killed with them.
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
