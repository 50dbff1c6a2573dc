#pragma once

#include <QUrl>

namespace clipforge {

// The support page and the product page. Both are build settings; without one the
// user guide shipped in the program folder opens instead.
QUrl supportPageUrl();
QUrl productPageUrl();

}  // namespace clipforge
