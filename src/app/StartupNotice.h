#pragma once

#include <QByteArray>

namespace clipforge {

// Tells an X11 desktop that the start with this start-up notification id is done, so that its
// busy pointer or launch feedback ends: the start that handed its files over never shows a
// window of its own. Does nothing on other platforms.
void endStartupNotice(const QByteArray& id);

// The start-up notification message that ends the start with this id, with its closing NUL.
QByteArray startupRemoveMessage(const QByteArray& id);

}  // namespace clipforge
