#include "app/QuitOnSignal.h"

#include <QApplication>

namespace clipforge {

QuitOnSignal::QuitOnSignal()
    : watcher_({SIGTERM, SIGINT, SIGHUP}, [] {
          QApplication::closeAllWindows();
          QApplication::quit();
      })
{
}

}  // namespace clipforge
