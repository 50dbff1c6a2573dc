#pragma once

class QWidget;

namespace clipforge {

// The program's main window, as the dialogs see it: they open centred over it, and the keyboard
// goes back to it when they close. Dialogs have no owner, so the toolkit cannot know it.
void setMainWindow(QWidget* window);
QWidget* mainWindow();

// Moves a dialog so that its middle is the main window's middle (the desktop's when there is no
// main window), whoever opened it and whatever window was active at the time.
void centreOverMainWindow(QWidget& dialog);

}  // namespace clipforge
