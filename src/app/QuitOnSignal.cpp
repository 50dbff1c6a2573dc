#include "app/QuitOnSignal.h"

#include "app/EndFromOutside.h"
#include "engine/ProcessSignals.h"

#include <QApplication>

namespace clipforge {

// The program ends when its last window has closed; a window with a run lets the run end as
// Stop ends it first, without asking.
QuitOnSignal::QuitOnSignal()
    : watcher_(SignalWatcher::runEndingSignals(), [] {
        markEndingFromOutside();
        QApplication::closeAllWindows();
    })
{
    ignoreVanishedReaders();
}

}  // namespace clipforge
