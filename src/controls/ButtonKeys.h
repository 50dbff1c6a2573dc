#pragma once

#include <functional>

class QKeyEvent;
class QWidget;

namespace clipforge {

// Space, Enter and Return, pressed without Ctrl, Alt or Meta and not repeated: the keys that
// press a focused button.
bool pressesButton(const QKeyEvent& key);

// One of the program's own buttons, for the keyboard and assistive technology: those keys call
// click while the button is enabled, and go no further; its focus mark comes and goes with the
// keyboard cues. For as long as the button lives.
void makeKeyboardButton(QWidget& button, std::function<void()> click);

}  // namespace clipforge
