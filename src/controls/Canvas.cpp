#include "controls/Canvas.h"

#include "controls/WordWrap.h"

#include <QFontMetrics>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace clipforge {

namespace {

int qtTextFlags(unsigned flags)
{
    int qt = Qt::AlignAbsolute;
    if (flags & dtCenter)
        qt |= Qt::AlignHCenter;
    else if (flags & dtRight)
        qt |= Qt::AlignRight;
    else
        qt |= Qt::AlignLeft;
    if ((flags & dtSingleLine) && (flags & dtVCenter))
        qt |= Qt::AlignVCenter;
    else if ((flags & dtSingleLine) && (flags & dtBottom))
        qt |= Qt::AlignBottom;
    else
        qt |= Qt::AlignTop;
    if (flags & dtSingleLine)
        qt |= Qt::TextSingleLine;
    else if (flags & dtWordBreak)
        qt |= Qt::TextWordWrap;
    if (flags & dtExpandTabs)
        qt |= Qt::TextExpandTabs;
    if (flags & dtNoClip)
        qt |= Qt::TextDontClip;
    if (!(flags & dtNoPrefix))
        qt |= Qt::TextShowMnemonic;
    return qt;
}

// The text as shown: "&x" shows x (underlined), "&&" shows one "&".
QString withoutPrefixes(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

struct Span {
    int from;
    int to; // exclusive
};

// Columns left out at each end of a corner row: a pixel belongs to the shape when its centre lies
// within the ellipse through the centres of the outermost pixels.
int cornerCut(int fromEdge, double rx, double ry)
{
    if (rx <= 0.0 || ry <= 0.0 || fromEdge >= ry)
        return 0;
    const double dy = (fromEdge - ry) / ry;
    int cut = 0;
    while (cut < rx && ((cut - rx) / rx) * ((cut - rx) / rx) + dy * dy > 1.0 + 1e-9)
        ++cut;
    return cut;
}

std::vector<Span> roundRectSpans(const Rect& rect, int ellipseWidth, int ellipseHeight)
{
    std::vector<Span> spans;
    if (rect.isEmpty())
        return spans;
    const double rx = (std::min(ellipseWidth, rect.width()) - 1) / 2.0;
    const double ry = (std::min(ellipseHeight, rect.height()) - 1) / 2.0;
    for (int row = 0; row < rect.height(); ++row) {
        const int cut = cornerCut(std::min(row, rect.height() - 1 - row), rx, ry);
        spans.push_back({rect.left + cut, rect.right - cut});
    }
    return spans;
}

} // namespace

QFont makeFont(const QString& family, int height, bool bold)
{
    QFont font;
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    const int size = std::max(1, std::abs(height));
    font.setPixelSize(size);
    if (height > 0) {
        // A cell height includes the internal leading; scale the character height to fit it.
        const QFontMetrics metrics(font);
        const int cell = metrics.ascent() + metrics.descent();
        if (cell > 0)
            font.setPixelSize(std::max(1, size * size / cell));
    }
    return font;
}

QFont makeFontPoints(const QString& family, int points, bool bold)
{
    return makeFont(family, -static_cast<int>(std::lround(points * 96.0 / 72.0)), bold);
}

QImage makeBitmap(int width, int height, TColor fill)
{
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    image.fill(colorToQColor(fill));
    return image;
}

QRegion roundRectRegion(const Rect& rect, int ellipseWidth, int ellipseHeight)
{
    QRegion region;
    const std::vector<Span> spans = roundRectSpans(rect, ellipseWidth, ellipseHeight);
    for (std::size_t row = 0; row < spans.size(); ++row) {
        if (spans[row].to > spans[row].from)
            region += QRect(spans[row].from, rect.top + static_cast<int>(row), spans[row].to - spans[row].from, 1);
    }
    return region;
}

Canvas::Canvas(QImage& image)
    : image_(image), painter_(&image)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    font_ = makeFont(QStringLiteral("MS Sans Serif"), -11);
}

void Canvas::setBrushColor(TColor color)
{
    brushColor_ = color;
    brushStyle_ = BrushStyle::Solid;
}

void Canvas::fillRect(const Rect& rect)
{
    if (brushStyle_ == BrushStyle::Solid)
        fillRect(rect, brushColor_);
}

void Canvas::fillRect(const Rect& rect, TColor color)
{
    if (!rect.isEmpty())
        painter_.fillRect(rect.toQRect(), toQColor(color));
}

void Canvas::frameRect(const Rect& rect)
{
    frameRect(rect, brushColor_);
}

void Canvas::frameRect(const Rect& rect, TColor color)
{
    if (rect.isEmpty())
        return;
    const QColor c = toQColor(color);
    fillSpan(rect.top, rect.left, rect.right, c);
    fillSpan(rect.bottom - 1, rect.left, rect.right, c);
    for (int y = rect.top + 1; y < rect.bottom - 1; ++y) {
        plot(rect.left, y, c);
        plot(rect.right - 1, y, c);
    }
}

void Canvas::rectangle(const Rect& rect)
{
    if (rect.isEmpty())
        return;
    if (brushStyle_ == BrushStyle::Solid)
        fillRect(rect.inflated(-1, -1), brushColor_);
    frameRect(rect, penColor_);
}

void Canvas::roundRect(const Rect& rect, int ellipseWidth, int ellipseHeight)
{
    const std::vector<Span> spans = roundRectSpans(rect, ellipseWidth, ellipseHeight);
    const QColor pen = toQColor(penColor_);
    const QColor brush = toQColor(brushColor_);
    const int rows = static_cast<int>(spans.size());
    for (int row = 0; row < rows; ++row) {
        const Span span = spans[static_cast<std::size_t>(row)];
        const int y = rect.top + row;
        if (row == 0 || row == rows - 1) {
            fillSpan(y, span.from, span.to, pen);
            continue;
        }
        // Outline pixels are those of the row that the rows above or below do not cover.
        const Span up = spans[static_cast<std::size_t>(row - 1)];
        const Span down = spans[static_cast<std::size_t>(row + 1)];
        const int leftEnd = std::max({span.from + 1, up.from, down.from});
        const int rightStart = std::min({span.to - 1, up.to, down.to});
        fillSpan(y, span.from, leftEnd, pen);
        fillSpan(y, rightStart, span.to, pen);
        if (brushStyle_ == BrushStyle::Solid)
            fillSpan(y, leftEnd, rightStart, brush);
    }
}

void drawFocusRect(QPainter& painter, const Rect& rect)
{
    if (rect.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const bool edge = y == rect.top || y == rect.bottom - 1 || x == rect.left || x == rect.right - 1;
            if (edge && (x + y) % 2 == 0)
                painter.fillRect(QRect(x, y, 1, 1), Qt::black);
        }
    }
    painter.restore();
}

void Canvas::focusRect(const Rect& rect)
{
    drawFocusRect(painter_, rect);
}

void Canvas::lineTo(int x, int y)
{
    const QPoint to(x, y);
    if (penWidth_ == 1) {
        drawLineExcludingEnd(penPosition_, to, toQColor(penColor_));
    } else {
        QPen pen(toQColor(penColor_), penWidth_, Qt::SolidLine, Qt::FlatCap);
        painter_.setPen(pen);
        painter_.drawLine(penPosition_, to);
        painter_.setPen(Qt::NoPen);
    }
    penPosition_ = to;
}

void Canvas::polyline(const std::vector<QPoint>& points)
{
    if (points.empty())
        return;
    moveTo(points.front().x(), points.front().y());
    for (std::size_t i = 1; i < points.size(); ++i)
        lineTo(points[i].x(), points[i].y());
}

void Canvas::polygon(const std::vector<QPoint>& points)
{
    if (points.size() < 2)
        return;
    if (brushStyle_ == BrushStyle::Solid) {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(toQColor(brushColor_));
        painter_.drawPolygon(points.data(), static_cast<int>(points.size()));
        painter_.setBrush(Qt::NoBrush);
    }
    const QPoint saved = penPosition_;
    polyline(points);
    lineTo(points.front().x(), points.front().y());
    penPosition_ = saved;
}

TColor Canvas::pixel(int x, int y) const
{
    if (!image_.valid(x, y))
        return invalidColor;
    return colorFromRgb(image_.pixel(x, y));
}

void Canvas::setPixel(int x, int y, TColor color)
{
    plot(x, y, toQColor(color));
}

void Canvas::drawImage(int x, int y, const QImage& picture)
{
    if (!picture.isNull())
        painter_.drawImage(QPoint(x, y), picture);
}

void Canvas::drawImage(const Rect& target, const QImage& picture)
{
    if (!picture.isNull() && !target.isEmpty())
        painter_.drawImage(target.toQRect(), picture);
}

void Canvas::setClipRegion(const QRegion& region)
{
    painter_.setClipRegion(region);
}

void Canvas::clearClip()
{
    painter_.setClipping(false);
}

// Lines and their box as DrawText places them: whole words per line, each line one text height
// tall, and centring by (free space) div 2 in both directions.
Canvas::TextBlock Canvas::layoutText(const QString& text, const Rect& rect, unsigned flags) const
{
    const QFontMetrics metrics(font_, &image_);
    const bool oneLine = (flags & dtSingleLine) || (!(flags & dtWordBreak) && !text.contains(u'\n'));
    TextBlock block;
    if (oneLine)
        block.lines = QStringList{text};
    else if (flags & dtWordBreak)
        block.lines = wrapAtSpaces(text, rect.width(), metrics);
    else
        block.lines = text.split(u'\n');
    int widest = 0;
    for (const QString& line : block.lines)
        widest = std::max(widest, metrics.horizontalAdvance((flags & dtNoPrefix) ? line : withoutPrefixes(line)));
    block.lineHeight = metrics.height();
    const int height = block.lineHeight * static_cast<int>(block.lines.size());
    int x = rect.left;
    if (flags & dtCenter)
        x += (rect.width() - widest) / 2;
    else if (flags & dtRight)
        x = rect.right - widest;
    int y = rect.top;
    if (oneLine && (flags & dtVCenter))
        y += (rect.height() - height) / 2;
    else if (oneLine && (flags & dtBottom))
        y = rect.bottom - height;
    block.bounds = QRect(x, y, widest, height);
    return block;
}

int Canvas::drawText(const QString& text, Rect& rect, unsigned flags)
{
    if (text.isEmpty()) {
        if (flags & dtCalcRect) {
            rect.right = rect.left;
            rect.bottom = rect.top;
        }
        return 0;
    }
    const TextBlock block = layoutText(text, rect, flags);
    if (flags & dtCalcRect) {
        // Measuring starts at the rectangle's corner whatever the alignment.
        rect.right = rect.left + block.bounds.width();
        rect.bottom = rect.top + block.bounds.height();
        return block.bounds.height();
    }
    painter_.save();
    painter_.setFont(font_);
    if (!(flags & dtNoClip))
        painter_.setClipRect(rect.toQRect(), Qt::IntersectClip);
    if (brushStyle_ == BrushStyle::Solid)
        painter_.fillRect(block.bounds, toQColor(brushColor_));
    painter_.setPen(toQColor(fontColor_));
    painter_.setLayoutDirection((flags & dtRtlReading) ? Qt::RightToLeft : Qt::LeftToRight);
    // Each line goes into its own box, so Qt's own alignment and line spacing play no part.
    const int lineFlags = (qtTextFlags(flags & ~(dtVCenter | dtBottom | dtWordBreak)) | Qt::TextSingleLine
                           | Qt::TextDontClip) & ~Qt::AlignVertical_Mask;
    for (qsizetype i = 0; i < block.lines.size(); ++i) {
        const QRect line(block.bounds.left(), block.bounds.top() + static_cast<int>(i) * block.lineHeight,
                         block.bounds.width(), block.lineHeight);
        painter_.drawText(line, lineFlags | Qt::AlignTop, block.lines[i]);
    }
    painter_.restore();
    return block.bounds.height();
}

void Canvas::textOut(int x, int y, const QString& text)
{
    const QFontMetrics metrics(font_, &image_);
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    painter_.save();
    painter_.setFont(font_);
    if (brushStyle_ == BrushStyle::Solid)
        painter_.fillRect(box, toQColor(brushColor_));
    painter_.setPen(toQColor(fontColor_));
    painter_.drawText(QPoint(x, y + metrics.ascent()), text);
    painter_.restore();
}

int Canvas::textWidth(const QString& text) const
{
    return QFontMetrics(font_, &image_).horizontalAdvance(text);
}

int Canvas::textHeight(const QString& text) const
{
    Q_UNUSED(text);
    return QFontMetrics(font_, &image_).height();
}

void Canvas::plot(int x, int y, const QColor& color)
{
    painter_.fillRect(QRect(x, y, 1, 1), color);
}

void Canvas::fillSpan(int y, int fromX, int toXExclusive, const QColor& color)
{
    if (toXExclusive > fromX)
        painter_.fillRect(QRect(fromX, y, toXExclusive - fromX, 1), color);
}

void Canvas::drawLineExcludingEnd(QPoint from, QPoint to, const QColor& color)
{
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = std::abs(to.y() - y);
    if (dx == 0 && dy == 0)
        return;
    if (dy == 0) {
        // Straight runs in one fill: the progress bar paints a few hundred of them per frame.
        fillSpan(y, std::min(x, to.x() + 1), std::max(x + 1, to.x()), color);
        return;
    }
    if (dx == 0) {
        const int top = std::min(y, to.y() + 1);
        const int bottom = std::max(y + 1, to.y());
        painter_.fillRect(QRect(x, top, 1, bottom - top), color);
        return;
    }
    const int sx = to.x() > x ? 1 : -1;
    const int sy = to.y() > y ? 1 : -1;
    int error = dx - dy;
    while (x != to.x() || y != to.y()) {
        plot(x, y, color);
        const int twice = 2 * error;
        if (twice > -dy) {
            error -= dy;
            x += sx;
        }
        if (twice < dx) {
            error += dx;
            y += sy;
        }
    }
}

} // namespace clipforge
