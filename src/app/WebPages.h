#pragma once

#include <QString>
#include <QUrl>

namespace clipforge {

// The support page and the product page. Both are build settings; without one the
// user guide shipped in the program folder opens instead, for the product page at its
// section on versions and updates.
QUrl supportPageUrl();
QUrl productPageUrl();

// The version of this build, as the user guide shows it.
QString programVersion();

}  // namespace clipforge
