#include "controls/GradientProgressBar.h"

#include "controls/AccessibleControls.h"
#include "controls/RoundEven.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

using clipforge::Canvas;
using clipforge::GradientDirection;
using clipforge::Rect;

namespace clipforge {

namespace {

constexpr std::array<SchemeColors, 13> schemeTable = {{
    {0, 0, 0, 0, 0},
    {0x005680, 0xC6ECFF, 0xFFFFFF, 0x9BDEFF, 0x007BB7},
    {0x156F37, 0xCBF5DC, 0xFFFFFF, 0xC9F5DB, 0x28C162},
    {0x6B6B6B, 0xE0E0E0, 0xFFFFFF, 0xF0F0F0, 0xADADAD},
    {0xB35900, 0xFFEAD5, 0xFFFFFF, 0xFFEEDD, 0xFFAE5E},
    {0x00009D, 0xD7D7FF, 0xFFFFFF, 0xE8E8FF, 0x8080FF},
    {0x006464, 0xCEFFFF, 0xFFFFFF, 0xDFFFFF, 0x05BCDC},
    {0x000000, 0x005500, 0x008000, 0x91ECAE, 0x00AA00},
    {0x000000, 0x804000, 0xA85400, 0xFFCB97, 0xEC7600},
    {0x000000, 0x000059, 0x46468C, 0x9F9FF2, 0x4848BB},
    {0x000000, 0x464646, 0x6F6F6F, 0xCECECE, 0x737373},
    {0x000000, 0x800040, 0xCA0065, 0xFFB7DB, 0xFF3399},
    {0x000000, 0x2C5656, 0x3E7B7B, 0xBCDEDE, 0x468E8E},
}};

// A position far beyond Max gives a fill far outside the bar; the value is held to just past the
// bar's edge before it becomes an int, which paints the same pixels without overflowing.
int roundWithin(double value, int low, int high)
{
    return roundEven(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

} // namespace

SchemeColors schemeColors(TColorScheme scheme)
{
    return schemeTable[static_cast<std::size_t>(scheme)];
}

void drawLineGradient(Canvas& canvas, const Rect& rect, TColor start, TColor end, GradientDirection direction)
{
    const bool across = direction == GradientDirection::LeftToRight;
    const int span = across ? rect.right - rect.left : rect.bottom - rect.top;
    if (span < 0)
        return;
    const std::array<int, 3> from = {redOf(start), greenOf(start), blueOf(start)};
    const std::array<int, 3> to = {redOf(end), greenOf(end), blueOf(end)};
    std::array<double, 3> step{};
    std::array<double, 3> value{};
    for (std::size_t c = 0; c < 3; ++c) {
        // A span of zero draws its one line in the start colour.
        step[c] = span > 0 ? static_cast<double>(to[c] - from[c]) / span : 0.0;
        value[c] = from[c];
    }
    for (int i = 0; i <= span; ++i) {
        canvas.setPenColor(rgbColor(roundEven(value[0]), roundEven(value[1]), roundEven(value[2])));
        if (across) {
            canvas.moveTo(i, rect.top);
            canvas.lineTo(i, rect.top + rect.bottom);
        } else {
            canvas.moveTo(rect.left, i);
            canvas.lineTo(rect.left + rect.right, i);
        }
        for (std::size_t c = 0; c < 3; ++c)
            value[c] += step[c];
    }
}

} // namespace clipforge

TGradientProgressBar::TGradientProgressBar(QWidget* parent)
    : QWidget(parent)
{
    resize(200, 16);
    SetColorScheme(csDesert);
    clipforge::installAccessibleControls();
}

void TGradientProgressBar::setColor(TColor& field, TColor color)
{
    field = color;
    colorScheme_ = csCustom;
    update();
}

void TGradientProgressBar::SetColorScheme(TColorScheme scheme)
{
    if (scheme < csCustom || scheme > csToxic)
        return;
    colorScheme_ = scheme;
    if (scheme != csCustom) {
        const clipforge::SchemeColors colors = clipforge::schemeColors(scheme);
        colorBorder_ = colors.border;
        backColorFace_ = colors.backFace;
        backColorGrad_ = colors.backGrad;
        foreColorFace_ = colors.foreFace;
        foreColorGrad_ = colors.foreGrad;
    }
    update();
}

void TGradientProgressBar::SetMax(int value)
{
    if (value < min_)
        return;
    max_ = value;
    repaint();
}

void TGradientProgressBar::SetMin(int value)
{
    if (value > max_)
        return;
    min_ = value;
    repaint();
}

void TGradientProgressBar::SetPosition(int value)
{
    if (value < min_)
        return;
    position_ = value;
    repaint();
    QAccessibleEvent moved(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&moved);
}

void TGradientProgressBar::SetStep(int value)
{
    step_ = value;
    repaint();
}

void TGradientProgressBar::SetOrientation(TProgressBarOrientation orientation)
{
    orientation_ = orientation;
    update();
}

double TGradientProgressBar::filledShare(int span) const
{
    // Max = Min leaves the bar empty instead of dividing by zero; the product is taken in 64 bits
    // so large ranges cannot overflow into a nonsense fill.
    const std::int64_t range = std::llabs(static_cast<std::int64_t>(max_) - min_);
    if (range == 0)
        return 0.0;
    const std::int64_t product = static_cast<std::int64_t>(span) * (static_cast<std::int64_t>(position_) - min_);
    return static_cast<double>(product) / static_cast<double>(range);
}

void TGradientProgressBar::paintHorizontal(Canvas& canvas, int w, int h) const
{
    const int fill = clipforge::roundWithin(filledShare(w - 2), -1, w + 1);
    clipforge::drawLineGradient(canvas, {1, 1, w - 1, h - 1}, backColorFace_, backColorGrad_, GradientDirection::TopToBottom);
    clipforge::drawLineGradient(canvas, {0, 0, fill, h}, foreColorFace_, foreColorGrad_, GradientDirection::TopToBottom);
    canvas.setPenColor(canvas.pixel(1, 1));
    canvas.moveTo(1, 1);
    canvas.lineTo(1, h);
    canvas.setPenColor(canvas.pixel(2, h - 2));
    canvas.moveTo(fill, 1);
    canvas.lineTo(fill, h);
}

void TGradientProgressBar::paintVertical(Canvas& canvas, int w, int h) const
{
    const int fillTop = h - clipforge::roundWithin(filledShare(h - 2) + 1.0, -1, 2 * h);
    clipforge::drawLineGradient(canvas, {1, 1, w - 1, h}, backColorFace_, backColorGrad_, GradientDirection::LeftToRight);
    clipforge::drawLineGradient(canvas, {0, fillTop, w, h}, foreColorFace_, foreColorGrad_, GradientDirection::LeftToRight);
    canvas.setPenColor(canvas.pixel(2, h - 2));
    canvas.moveTo(1, h - 2);
    canvas.lineTo(w, h - 2);
    canvas.setPenColor(canvas.pixel(w - 3, h - 3));
    canvas.moveTo(1, fillTop);
    canvas.lineTo(w, fillTop);
}

QImage TGradientProgressBar::render() const
{
    const int w = width();
    const int h = height();
    QImage bitmap = clipforge::makeBitmap(w, h);
    if (bitmap.isNull())
        return bitmap;
    Canvas canvas(bitmap);
    canvas.setSystemColors(clipforge::SystemColors::UseLowBytes);
    if (orientation_ == pbHorizontal)
        paintHorizontal(canvas, w, h);
    else
        paintVertical(canvas, w, h);
    canvas.setPenColor(colorBorder_);
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    canvas.rectangle({0, 0, w, h});
    return bitmap;
}

void TGradientProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, render());
}
