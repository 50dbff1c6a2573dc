#include "app/ProgressBox.h"

#include <QPainter>

namespace clipforge {

QRect ProgressBox::frameFor(const QRect& cell)
{
    return cell.adjusted(inset, inset, -inset, -inset);
}

void ProgressBox::paint(QPainter& painter, const QRect& cell, const QColor& background, bool busy, std::uint32_t frame)
{
    const QRect box = frameFor(cell);
    if (box.width() <= 0 || box.height() <= 0)
        return;
    // Filled rectangles only: they cover exactly the pixels named, whatever the painter's pen.
    painter.fillRect(box, frameColor());
    painter.fillRect(box.adjusted(1, 1, -1, -1), background);
    if (!busy)
        return;
    const QRect block(box.left() + static_cast<int>(frame), box.top(), blockWidth, box.height());
    painter.fillRect(block.intersected(box), frameColor());
}

}  // namespace clipforge
