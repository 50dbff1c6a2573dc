#pragma once

#include "controls/PngImage.h"

#include <QImage>
#include <QString>

// The program's pictures, compiled into it as resources under ":/images".
namespace clipforge::artwork {

// A missing or broken picture leaves an empty one: the window still works without it.
TPngImage picture(const QString& name);
QImage image(const QString& name);

}  // namespace clipforge::artwork
