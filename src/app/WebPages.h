#pragma once

#include <QString>
#include <QUrl>

namespace clipforge {

// The support page and the product page. Both are build settings; without one the
// user guide shipped in the program folder opens instead, for the product page at its
// section on versions and updates.
QUrl supportPageUrl();
QUrl productPageUrl();

// The user guide in the program folder.
QString guidePath();

// Opens address (a page, a folder) through the desktop; where no program can open it, says so in
// a message ending with hint. False then.
bool openOnDesktop(const QUrl& address, const QString& hint = {});
// The same for a page of help, whose message names the user guide's path, which holds the same help.
void openPage(const QUrl& address);

// The version of this build, as the user guide shows it.
QString programVersion();

}  // namespace clipforge
