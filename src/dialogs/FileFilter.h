#pragma once

#include <QString>

namespace clipforge {

// Turns "Desc|*.a;*.b|All|*.*" into Qt's "Desc (*.a *.b);;All (*.*)". A description
// that already names its patterns in brackets keeps only the real ones.
QString toQtFilter(const QString& filter);

}  // namespace clipforge
