#pragma once

#include "dialogs/ScreenFit.h"
#include "dialogs/UserSettings.h"

#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace clipforge {

// The client rectangle the main window opens with on area (a screen's available part): the
// remembered one when it still fits there, frame included, and is no smaller than design or
// area allow; otherwise the designed size centred on area, cut down to area where it is
// larger, so that the title bar and its buttons are on the screen.
QRect openingPlace(QSize designed, const QRect& area, const std::optional<WindowPlace>& remembered,
                   const FrameAllowance& frame = {});

// The room inside area that a client rectangle may take, frame allowed for.
QRect clientRoom(const QRect& area, const FrameAllowance& frame = {});

// Opens window where openingPlace says on the screen it starts on, maximised when it was left so.
void placeMainWindow(QWidget& window, QSize designed);
// Keeps window's normal place and maximised state for the next start.
void rememberMainWindowPlace(const QWidget& window);

}  // namespace clipforge
