#include "app/QuitOnSignal.h"

#include <QApplication>

#include <csignal>

namespace clipforge {

// The program ends when its last window has closed; a window with a run lets the run end as
// Stop ends it first.
QuitOnSignal::QuitOnSignal()
    : watcher_(SignalWatcher::runEndingSignals(), [] { QApplication::closeAllWindows(); })
{
    // A reader that went away (a pipe's, a socket's) makes a write fail; it must not end the program.
    ::signal(SIGPIPE, SIG_IGN);
}

}  // namespace clipforge
