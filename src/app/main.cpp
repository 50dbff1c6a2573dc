#include "app/Application.h"
#include "app/MainDlg.h"
#include "app/QuitOnSignal.h"
#include "app/StartUp.h"

int main(int argc, char** argv)
{
    clipforge::Application application(argc, argv);
    clipforge::QuitOnSignal quitOnSignal;
    const auto mainDlg = clipforge::startUp();
    if (quitOnSignal.quitRequested())
        return 0;
    mainDlg->show();
    return application.exec();
}
