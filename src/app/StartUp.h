#pragma once

#include <memory>

class TmainDlg;

namespace clipforge {

// The program's start after the application object exists: the splash for at least
// splashMs with events dispatched, then the main window, created while the splash still
// shows and returned only once the splash is gone. The caller shows it.
std::unique_ptr<TmainDlg> startUp(int splashMs = 1000);

}  // namespace clipforge
