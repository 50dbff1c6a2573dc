#include "app/Application.h"
#include "app/MainDlg.h"
#include "app/QuitOnSignal.h"
#include "app/StartUp.h"

int main(int argc, char** argv)
{
    clipforge::Application application(argc, argv);
    clipforge::QuitOnSignal quitOnSignal;
    const auto mainDlg = clipforge::startUp();
    mainDlg->show();
    return application.exec();
}
