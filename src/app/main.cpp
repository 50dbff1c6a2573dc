#include "app/Application.h"
#include "app/CommandLineOptions.h"
#include "app/FilesFromOtherStarts.h"
#include "app/KeptQueue.h"
#include "app/MainDlg.h"
#include "app/OpenFiles.h"
#include "app/QuitOnSignal.h"
#include "app/SingleInstance.h"
#include "app/StartUp.h"
#include "engine/ConverterConfinement.h"

#include <QPointer>

#include <iostream>

int main(int argc, char** argv)
{
    if (const auto exitCode = clipforge::CommandLineOptions(argc, argv).answerWithoutWindow(std::cout, std::cerr))
        return *exitCode;
    // The toolkit takes the token for itself when it starts.
    const QByteArray activationToken = clipforge::activationTokenOfThisStart();
    clipforge::Application application(argc, argv);
    // What a file manager's "Open with" hands over; Qt has already taken its own options out.
    const QStringList files = clipforge::filesFromArguments(argc, argv, std::cerr);
    const auto instance = clipforge::SingleInstance::start(clipforge::InstancePlaces::inRuntimeFolder(),
                                                           {activationToken, files}, std::cerr);
    if (instance.role() == clipforge::SingleInstance::Role::HandedOver)
        return 0;
    if (instance.role() == clipforge::SingleInstance::Role::NoAnswer)
        return 1;
    if (const std::string notice = clipforge::confinementNotice(); !notice.empty())
        std::cerr << "clipforge: " << notice << std::endl;
    clipforge::QuitOnSignal quitOnSignal;
    const auto mainDlg = clipforge::startUp();
    if (quitOnSignal.quitRequested())
        return 0;
    mainDlg->placeOnScreen();
    mainDlg->show();
    clipforge::KeptQueue keptQueue(*mainDlg);
    // A restored queue comes first, then the files of this start and of later ones.
    keptQueue.whenSettled([&] {
        clipforge::openFilesOnceShown(*mainDlg, files);
        if (!instance.server())
            return;
        QPointer arrivals = new clipforge::FilesFromOtherStarts(*mainDlg);
        instance.server()->setReceiver([arrivals](const clipforge::InstanceMessage& message) {
            if (arrivals)
                arrivals->receive(message);
        });
    });
    return application.exec();
}
