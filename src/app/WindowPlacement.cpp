#include "app/WindowPlacement.h"

#include "dialogs/UserSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace clipforge {

namespace {

bool fits(const std::optional<WindowPlace>& remembered, QSize smallest, const QRect& room)
{
    return remembered && remembered->normal.isValid() && room.contains(remembered->normal)
        && remembered->normal.width() >= smallest.width() && remembered->normal.height() >= smallest.height();
}

QRect centredIn(QSize size, const QRect& room)
{
    QRect place(QPoint(0, 0), size.boundedTo(room.size()));
    place.moveCenter(room.center());
    return place;
}

QRect availableArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

QRect clientRoom(const QRect& area, const FrameAllowance& frame)
{
    return area.adjusted(frame.sides, frame.top, -frame.sides, -frame.bottom);
}

QRect openingPlace(QSize designed, const QRect& area, const std::optional<WindowPlace>& remembered,
                   const FrameAllowance& frame)
{
    const QRect room = clientRoom(area, frame);
    const QSize smallest = designed.boundedTo(room.size());
    if (fits(remembered, smallest, room))
        return remembered->normal;
    return centredIn(designed, room);
}

void placeMainWindow(QWidget& window, QSize designed)
{
    const QRect area = availableArea(window);
    if (area.isEmpty())
        return;
    const std::optional<WindowPlace> remembered = UserSettings::mainWindowPlace();
    // Where the screen is smaller than the design, the window may be too: its controls keep
    // their designed places and the edge of the window cuts them.
    window.setMinimumSize(designed.boundedTo(clientRoom(area).size()));
    window.setGeometry(openingPlace(designed, area, remembered));
    if (remembered && remembered->maximised)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void rememberMainWindowPlace(const QWidget& window)
{
    UserSettings::rememberMainWindowPlace(
        {window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry(), window.isMaximized()});
}

}  // namespace clipforge
