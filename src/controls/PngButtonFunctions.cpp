#include "controls/PngButtonFunctions.h"

#include <QSize>

namespace {

constexpr int automaticSpacing = 4;

QSize captionSize(clipforge::Canvas& canvas, const QString& caption, int clientWidth, unsigned flags)
{
    if (caption.isEmpty())
        return {0, 0};
    clipforge::Rect rect{0, 0, clientWidth, 0};
    canvas.drawText(caption, rect, flags | clipforge::dtCalcRect);
    return {rect.width(), rect.height()};
}

TButtonLayout readingOrderLayout(TButtonLayout layout, unsigned flags)
{
    if (!(flags & clipforge::dtRtlReading))
        return layout;
    if (layout == blGlyphLeft)
        return blGlyphRight;
    if (layout == blGlyphRight)
        return blGlyphLeft;
    return layout;
}

int automaticMargin(int clientSize, int pictureSize, int textSize, int spacing)
{
    if (spacing != -1)
        return (clientSize - (pictureSize + spacing + textSize)) / 2;
    return (clientSize - (pictureSize + textSize)) / 3;
}

} // namespace

clipforge::ButtonLayoutResult LayoutButton(clipforge::Canvas& canvas, const TPngImage& picture,
                                           const clipforge::Rect& client, unsigned textFlags, int spacing,
                                           int margin, TButtonLayout layout, const QString& caption,
                                           bool pressed)
{
    layout = readingOrderLayout(layout, textFlags);
    const QSize clientSize(client.width(), client.height());
    const QSize glyph(picture.width(), picture.height());
    const QSize text = captionSize(canvas, caption, clientSize.width(), textFlags);
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;

    QPoint glyphPos;
    QPoint textPos;
    if (horizontal) {
        glyphPos.setY((clientSize.height() - glyph.height() + 1) / 2);
        textPos.setY((clientSize.height() - text.height()) / 2);
    } else {
        glyphPos.setX((clientSize.width() - glyph.width() + 1) / 2);
        textPos.setX((clientSize.width() - text.width()) / 2);
    }
    if (text.width() == 0 || glyph.width() == 0)
        spacing = 0;
    const int axisClient = horizontal ? clientSize.width() : clientSize.height();
    const int axisGlyph = horizontal ? glyph.width() : glyph.height();
    const int axisText = horizontal ? text.width() : text.height();
    if (margin == -1)
        margin = automaticMargin(axisClient, axisGlyph, axisText, spacing);
    if (spacing == -1)
        spacing = automaticSpacing;

    switch (layout) {
    case blGlyphLeft:
        glyphPos.setX(margin);
        textPos.setX(glyphPos.x() + glyph.width() + spacing);
        break;
    case blGlyphRight:
        glyphPos.setX(clientSize.width() - margin - glyph.width());
        textPos.setX(glyphPos.x() - spacing - text.width());
        break;
    case blGlyphTop:
        glyphPos.setY(margin);
        textPos.setY(glyphPos.y() + glyph.height() + spacing);
        break;
    case blGlyphBottom:
        glyphPos.setY(clientSize.height() - margin - glyph.height());
        textPos.setY(glyphPos.y() - spacing - text.height());
        break;
    }
    const QPoint offset(client.left + (pressed ? 1 : 0), client.top + (pressed ? 1 : 0));
    glyphPos += offset;
    textPos += offset;
    return {glyphPos, {textPos.x(), textPos.y(), textPos.x() + text.width(), textPos.y() + text.height()}};
}
