#pragma once

#include <QApplication>
#include <QTest>

namespace clipforge::test {

// Gives window the keyboard, as a click on it would under a window manager; false when it never
// gets it.
inline bool giveKeyboard(QWidget& window)
{
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

}  // namespace clipforge::test
