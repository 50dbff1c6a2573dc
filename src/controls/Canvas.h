#pragma once

#include "controls/Color.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <vector>

namespace clipforge {

// A rectangle as the drawing routines take it: right and bottom are exclusive,
// so (0, 0, 10, 5) covers columns 0 .. 9 and rows 0 .. 4.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool isEmpty() const { return right <= left || bottom <= top; }
    constexpr bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    constexpr bool contains(QPoint p) const { return contains(p.x(), p.y()); }
    constexpr Rect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr Rect inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    static Rect fromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Text-format flags with the values the forms' code was written against; combine with |.
enum DrawTextFlag : unsigned {
    dtLeft = 0x0,
    dtTop = 0x0,
    dtCenter = 0x1,
    dtRight = 0x2,
    dtVCenter = 0x4,
    dtBottom = 0x8,
    dtWordBreak = 0x10,
    dtSingleLine = 0x20,
    dtExpandTabs = 0x40,
    dtNoClip = 0x100,
    dtExternalLeading = 0x200,
    dtCalcRect = 0x400,
    dtNoPrefix = 0x800,
    dtRtlReading = 0x20000,
};

enum class BrushStyle { Solid, Clear };

// Which way a gradient's colour changes.
enum class GradientDirection { LeftToRight, TopToBottom };

// The colour GetPixel-style reads answer outside the image.
constexpr TColor invalidColor = 0xFFFFFFFFu;

// A font asked for by family with the usual fallbacks. A negative height is the character height
// in pixels, a positive one the cell height (character plus internal leading).
QFont makeFont(const QString& family, int height, bool bold = false);
QFont makeFontPoints(const QString& family, int points, bool bold = false);

// An off-screen 24-bit bitmap, filled white like a freshly created one.
QImage makeBitmap(int width, int height, TColor fill = clWhite);

// The pixels of a rounded rectangle with the given corner ellipse, right and bottom exclusive.
QRegion roundRectRegion(const Rect& rect, int ellipseWidth, int ellipseHeight);

// The dotted focus frame, every other pixel of its outline inverted, right and bottom exclusive.
void drawFocusRect(QPainter& painter, const Rect& rect);

// Drawing on a QImage with the classic raster rules: no antialiasing, lines leave out their end
// point, rectangles exclude right and bottom, a clear brush fills nothing and makes text transparent.
class Canvas {
public:
    explicit Canvas(QImage& image);
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // How system colours (0xFF0000nn) given to this canvas are turned into pixels.
    void setSystemColors(SystemColors mode) { systemColors_ = mode; }
    QColor toQColor(TColor color) const { return colorToQColor(color, systemColors_); }

    void setPenColor(TColor color) { penColor_ = color; }
    void setPenWidth(int width) { penWidth_ = width < 1 ? 1 : width; }
    void setBrushColor(TColor color);
    void setBrushStyle(BrushStyle style) { brushStyle_ = style; }
    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }
    void setFontColor(TColor color) { fontColor_ = color; }

    void fillRect(const Rect& rect);
    void fillRect(const Rect& rect, TColor color);
    void frameRect(const Rect& rect);
    void frameRect(const Rect& rect, TColor color);
    void rectangle(const Rect& rect);
    void roundRect(const Rect& rect, int ellipseWidth, int ellipseHeight);
    // The dotted focus frame, drawn by inverting every other pixel; drawing it twice removes it.
    void focusRect(const Rect& rect);
    void moveTo(int x, int y) { penPosition_ = QPoint(x, y); }
    void lineTo(int x, int y);
    QPoint penPosition() const { return penPosition_; }
    void polyline(const std::vector<QPoint>& points);
    void polygon(const std::vector<QPoint>& points);

    TColor pixel(int x, int y) const;
    void setPixel(int x, int y, TColor color);
    void drawImage(int x, int y, const QImage& picture);
    void drawImage(const Rect& target, const QImage& picture);

    void setClipRegion(const QRegion& region);
    void clearClip();

    // Draws (or with dtCalcRect only measures, updating rect) and answers the text height.
    int drawText(const QString& text, Rect& rect, unsigned flags);
    void textOut(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;

private:
    void plot(int x, int y, const QColor& color);
    void drawLineExcludingEnd(QPoint from, QPoint to, const QColor& color);
    void fillSpan(int y, int fromX, int toXExclusive, const QColor& color);
    struct TextBlock {
        QStringList lines;
        int lineHeight = 0;
        QRect bounds;
    };
    TextBlock layoutText(const QString& text, const Rect& rect, unsigned flags) const;

    QImage& image_;
    QPainter painter_;
    SystemColors systemColors_ = SystemColors::Resolve;
    TColor penColor_ = clBlack;
    int penWidth_ = 1;
    TColor brushColor_ = clWhite;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QFont font_;
    TColor fontColor_ = clBlack;
    QPoint penPosition_;
};

} // namespace clipforge
