#pragma once

#include <QByteArray>
#include <QImage>

namespace clipforge {

// Decodes JPEG file bytes with libjpeg into a 24-bit image; a null image when the bytes
// are not a JPEG the library can read.
QImage decodeJpeg(const QByteArray& bytes);

}  // namespace clipforge
