#pragma once

#include <QString>

namespace clipforge {

// Turns "Desc|*.a;*.b|All|*.*" into Qt's "Desc (*.a *.A *.b *.B);;All (*.*)": file names
// match case-sensitively on this system, so every pattern also comes in capitals. A
// description that already names its patterns in brackets keeps only the real ones.
QString toQtFilter(const QString& filter);

}  // namespace clipforge
