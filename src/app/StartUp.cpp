#include "app/StartUp.h"

#include "app/MainDlg.h"
#include "app/SplashDlg.h"

namespace clipforge {

std::unique_ptr<TmainDlg> startUp(int splashMs)
{
    auto splash = std::make_unique<TSplashDlg>();
    showSplashFor(*splash, splashMs);
    auto mainDlg = std::make_unique<TmainDlg>();
    // The splash must be gone before the main window first appears.
    splash->hide();
    splash.reset();
    return mainDlg;
}

}  // namespace clipforge
