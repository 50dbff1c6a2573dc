#include "app/Application.h"
#include "app/KeptQueue.h"
#include "app/MainDlg.h"
#include "app/OpenFiles.h"
#include "app/QuitOnSignal.h"
#include "app/StartUp.h"

#include <iostream>

int main(int argc, char** argv)
{
    clipforge::Application application(argc, argv);
    clipforge::QuitOnSignal quitOnSignal;
    const auto mainDlg = clipforge::startUp();
    if (quitOnSignal.quitRequested())
        return 0;
    mainDlg->show();
    clipforge::KeptQueue keptQueue(*mainDlg);
    // What a file manager's "Open with" hands over; Qt has already taken its own options out.
    // A restored queue comes first.
    const QStringList files = clipforge::filesFromArguments(argc, argv, std::cerr);
    keptQueue.whenSettled([&] { clipforge::openFilesOnceShown(*mainDlg, files); });
    return application.exec();
}
