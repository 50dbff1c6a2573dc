#pragma once

class QGuiApplication;

namespace clipforge {

// Whether the program is being ended from outside, by a signal or by the desktop session
// ending: a run then stops and the program quits without asking anyone.
bool endingFromOutside();
void markEndingFromOutside();

// Marks the end when the desktop session asks the program to save its work before it ends.
void watchSessionEnd(QGuiApplication& application);

}  // namespace clipforge
