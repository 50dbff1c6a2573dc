#pragma once

#include <QColor>
#include <QRect>

#include <cstdint>

class QPainter;

namespace clipforge {

// The box in the job list's second column: a one-pixel frame 5 pixels inside the cell and,
// while the job is being converted, a 15-pixel block that moves one pixel per tick.
class ProgressBox {
public:
    static constexpr int inset = 5;
    static constexpr int blockWidth = 15;
    static QColor frameColor() { return QColor(127, 157, 185); }

    // The frame's rectangle for a cell, right and bottom exclusive as (left, top, right, bottom).
    static QRect frameFor(const QRect& cell);

    static void paint(QPainter& painter, const QRect& cell, const QColor& background, bool busy, std::uint32_t frame);
};

}  // namespace clipforge
