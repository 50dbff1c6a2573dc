#pragma once

#include <QRect>

#include <vector>

class QWidget;

namespace clipforge {

// A control that may give up height when its dialog does not fit on the screen, down to
// minimumHeight; whatever lies below it moves up by as much, and its own children shrink with it.
struct Shrinkable {
    QWidget* widget;
    int minimumHeight;
};

// What a window manager's frame adds around a client area. Known only once a window is shown,
// so the program allows this much: a title bar above, a border below and at the sides.
struct FrameAllowance {
    int top = 32;
    int bottom = 8;
    int sides = 8;
};

// Makes a fixed-size dialog fit area, frame included: the shrinkables give up height in their
// order until the dialog fits or none can give more; then the dialog is centred over the main
// window and moved inside area. Returns the height given up.
int fitToArea(QWidget& dialog, const std::vector<Shrinkable>& order, const QRect& area,
              const FrameAllowance& frame = {});

// fitToArea with the available area of the screen the main window is on (the primary screen
// without one).
int fitToScreen(QWidget& dialog, const std::vector<Shrinkable>& order);

}  // namespace clipforge
