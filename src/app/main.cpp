#include "app/Application.h"
#include "app/MainDlg.h"
#include "app/QuitOnSignal.h"
#include "app/SplashDlg.h"

#include <memory>

int main(int argc, char** argv)
{
    clipforge::Application application(argc, argv);
    clipforge::QuitOnSignal quitOnSignal;

    auto splash = std::make_unique<TSplashDlg>();
    clipforge::showSplashFor(*splash, 1000);

    TmainDlg mainDlg;

    // The splash must be gone before the main window first appears.
    splash->hide();
    splash.reset();

    mainDlg.show();
    return application.exec();
}
