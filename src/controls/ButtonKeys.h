#pragma once

class QKeyEvent;

namespace clipforge {

// Space, Enter and Return, pressed without Ctrl, Alt or Meta and not repeated: the keys that
// press a focused button.
bool pressesButton(const QKeyEvent& key);

}  // namespace clipforge
