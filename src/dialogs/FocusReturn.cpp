#include "dialogs/FocusReturn.h"

#include "dialogs/DialogAnchor.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace clipforge {

namespace {

// Menus, hints and the splash never take the keyboard, so their closing changes nothing.
bool takesKeyboard(const QWidget& window)
{
    switch (window.windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::SplashScreen: return false;
    default: return true;
    }
}

}  // namespace

FocusReturn::FocusReturn(QObject* parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

QWidget* FocusReturn::windowToActivate()
{
    QWidget* target = QApplication::activeModalWidget();
    if (!target)
        target = mainWindow();
    return target && target->isVisible() ? target : nullptr;
}

void FocusReturn::activateNow()
{
    QWidget* target = windowToActivate();
    if (!target || QApplication::activePopupWidget())
        return;
    target->activateWindow();
    target->raise();
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event)
{
    // Nor does anybody give the main window the keyboard when it first appears.
    if (event->type() == QEvent::Show && watched == mainWindow())
        QTimer::singleShot(0, this, &FocusReturn::activateNow);
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        // Queued, so that the closing window is gone and a modal loop has ended before the
        // choice is made.
        if (widget->isWindow() && takesKeyboard(*widget) && widget != mainWindow())
            QTimer::singleShot(0, this, &FocusReturn::activateNow);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace clipforge
