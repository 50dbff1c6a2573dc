#include "dialogs/ScreenFit.h"

#include "dialogs/DialogAnchor.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace clipforge {

namespace {

void moveUpWhatLiesBelow(QWidget& dialog, const QWidget& shrunk, int oldBottom, int by)
{
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != &shrunk && child->y() >= oldBottom)
            child->move(child->x(), child->y() - by);
    }
}

void shrink(QWidget& dialog, QWidget& widget, int by)
{
    const int oldBottom = widget.y() + widget.height();
    widget.resize(widget.width(), widget.height() - by);
    for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->resize(child->width(), std::max(0, child->height() - by));
    moveUpWhatLiesBelow(dialog, widget, oldBottom, by);
}

QRect placedInside(QRect dialog, const QRect& area, const FrameAllowance& frame)
{
    const QRect room = area.adjusted(frame.sides, frame.top, -frame.sides, -frame.bottom);
    dialog.moveLeft(std::max(room.left(), std::min(dialog.left(), room.right() + 1 - dialog.width())));
    // When even the smallest dialog is too tall, its title bar stays reachable.
    dialog.moveTop(std::max(room.top(), std::min(dialog.top(), room.bottom() + 1 - dialog.height())));
    return dialog;
}

QRect availableArea()
{
    const QWidget* main = mainWindow();
    const QScreen* screen = main && main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

int fitToArea(QWidget& dialog, const std::vector<Shrinkable>& order, const QRect& area, const FrameAllowance& frame)
{
    const int room = area.height() - frame.top - frame.bottom;
    int excess = dialog.height() - room;
    int givenUp = 0;
    for (const Shrinkable& item : order) {
        if (excess <= 0)
            break;
        const int by = std::min(excess, item.widget->height() - item.minimumHeight);
        if (by <= 0)
            continue;
        shrink(dialog, *item.widget, by);
        excess -= by;
        givenUp += by;
    }
    if (givenUp > 0)
        dialog.setFixedSize(dialog.width(), dialog.height() - givenUp);
    centreOverMainWindow(dialog);
    if (!area.isEmpty())
        dialog.setGeometry(placedInside(dialog.geometry(), area, frame));
    return givenUp;
}

int fitToScreen(QWidget& dialog, const std::vector<Shrinkable>& order)
{
    return fitToArea(dialog, order, availableArea());
}

}  // namespace clipforge
