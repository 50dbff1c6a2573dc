#pragma once

#include "controls/Canvas.h"
#include "controls/PngImage.h"

#include <QPoint>
#include <QString>

enum TButtonLayout { blGlyphLeft = 0, blGlyphRight = 1, blGlyphTop = 2, blGlyphBottom = 3 };

namespace clipforge {

struct ButtonLayoutResult {
    QPoint glyphPosition;
    Rect textRect;
};

} // namespace clipforge

// Places a button's picture and caption inside the client rectangle. A spacing of -1 (automatic)
// is placed as 4 pixels between picture and caption.
clipforge::ButtonLayoutResult LayoutButton(clipforge::Canvas& canvas, const TPngImage& picture,
                                           const clipforge::Rect& client, unsigned textFlags, int spacing,
                                           int margin, TButtonLayout layout, const QString& caption,
                                           bool pressed);
