#pragma once

#include <QObject>

namespace clipforge {

// Hands the keyboard back when a dialog, message box or file dialog closes: to the modal window
// still open below it, or else to the main window; and gives it to the main window when that
// first shows. Without a window manager nobody else does, and the focus falls to the desktop,
// where no accelerator reaches the program.
class FocusReturn : public QObject {
public:
    // Watches every window of the application for as long as it lives.
    explicit FocusReturn(QObject* parent = nullptr);

    // The window that should have the keyboard now, or null when none is showing.
    static QWidget* windowToActivate();
    static void activateNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace clipforge
