#include "app/FilesFromOtherStarts.h"

#include "app/MainDlg.h"
#include "app/StartupNotice.h"
#include "app/UIHook.h"
#include "dialogs/FocusReturn.h"

#include <QApplication>
#include <QGuiApplication>

#include <utility>

namespace clipforge {

namespace {

constexpr int retryMs = 500;

}  // namespace

FilesFromOtherStarts::FilesFromOtherStarts(TmainDlg& window)
    : QObject(&window)
    , window_(window)
{
    retry_.setInterval(retryMs);
    connect(&retry_, &QTimer::timeout, this, &FilesFromOtherStarts::openHeld);
}

void FilesFromOtherStarts::receive(const InstanceMessage& message)
{
    bringToFront(window_, message.activationToken);
    if (message.files.isEmpty())
        return;
    held_ << message.files;
    openHeld();
}

bool FilesFromOtherStarts::canOpenNow() const
{
    const TUIHook* hook = window_.hook();
    return hook && hook->ListChangesAllowed() && !QApplication::activeModalWidget();
}

void FilesFromOtherStarts::openHeld()
{
    if (held_.isEmpty() || !canOpenNow()) {
        if (held_.isEmpty())
            retry_.stop();
        else
            retry_.start();
        return;
    }
    retry_.stop();
    const QStringList files = std::exchange(held_, QStringList());
    // Once the dialog is up, the keyboard goes to it, also where no window manager hands it over.
    QTimer::singleShot(0, this, &FocusReturn::activateNow);
    window_.hook()->openFiles(files);
}

void bringToFront(QWidget& window, const QByteArray& activationToken)
{
    if (!activationToken.isEmpty()) {
        // Wayland lets a window take the front only with a token from the start the user made.
        if (QGuiApplication::platformName() == QLatin1String("wayland"))
            qputenv("XDG_ACTIVATION_TOKEN", activationToken);
        else
            endStartupNotice(activationToken);
    }
    if (window.isMinimized())
        window.showNormal();
    FocusReturn::activateNow();
}

}  // namespace clipforge
