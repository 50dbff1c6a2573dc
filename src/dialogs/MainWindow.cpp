#include "dialogs/MainWindow.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace clipforge {

namespace {

QPointer<QWidget>& registered()
{
    static QPointer<QWidget> window;
    return window;
}

QRect areaToCentreOn()
{
    if (const QWidget* main = mainWindow())
        return main->frameGeometry();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

void setMainWindow(QWidget* window)
{
    registered() = window;
}

QWidget* mainWindow()
{
    return registered().data();
}

void centreOverMainWindow(QWidget& dialog)
{
    const QRect area = areaToCentreOn();
    if (area.isEmpty())
        return;
    const QRect frame = dialog.frameGeometry();
    dialog.move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
}

}  // namespace clipforge
