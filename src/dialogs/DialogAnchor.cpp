#include "dialogs/DialogAnchor.h"

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
        return main->geometry();
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
    // Client areas over client areas: window frames, when there are any, are alike on both.
    const QSize size = dialog.size();
    dialog.setGeometry(QRect(QPoint(area.x() + (area.width() - size.width()) / 2,
                                    area.y() + (area.height() - size.height()) / 2),
                             size));
}

}  // namespace clipforge
