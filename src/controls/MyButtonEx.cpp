#include "controls/MyButtonEx.h"

#include "controls/ButtonKeys.h"
#include "controls/KeyboardCues.h"
#include "controls/PngFunctions.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include <cmath>

using clipforge::Canvas;
using clipforge::Rect;

namespace {

constexpr TColor disabledTextColor = 0xC0C0C0;
constexpr int glyphGap = 3;
constexpr int pressedShift = 2;
constexpr int cornerEllipse = 5;

} // namespace

namespace clipforge {

void drawButtonGradient(QImage& bitmap, TColor from, TColor to)
{
    const int w = bitmap.width();
    const int h = bitmap.height();
    if (from == to) {
        bitmap.fill(colorToQColor(from));
        return;
    }
    const TColor start = resolveColor(from);
    const TColor end = resolveColor(to);
    const double startChannels[3] = {static_cast<double>(redOf(start)), static_cast<double>(greenOf(start)),
                                     static_cast<double>(blueOf(start))};
    const double steps[3] = {(redOf(end) - startChannels[0]) / h, (greenOf(end) - startChannels[1]) / h,
                             (blueOf(end) - startChannels[2]) / h};
    for (int y = 2; y <= h - 1; ++y) {
        int value[3];
        for (int c = 0; c < 3; ++c)
            value[c] = static_cast<int>(std::nearbyint(steps[c] * y + startChannels[c])) & 0xFF;
        auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
        for (int x = 0; x < w - 2; ++x)
            line[x] = qRgb(value[0], value[1], value[2]);
    }
}

QChar acceleratorOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1];
        ++i;
    }
    return {};
}

} // namespace clipforge

TMyButtonEx::TMyButtonEx(QWidget* parent)
    : QWidget(parent)
{
    setFont(clipforge::makeFont(QStringLiteral("MS Sans Serif"), -11));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(75, 25);
    clipforge::makeKeyboardButton(*this, [this] { Click(); });
}

void TMyButtonEx::SetCaption(const QString& caption)
{
    caption_ = caption;
    updateShortcut();
    update();
}

void TMyButtonEx::SetFontColor(TColor color)
{
    fontColor_ = color;
    update();
}

void TMyButtonEx::SetEnabled(bool enabled)
{
    setEnabled(enabled);
    press_.cancel();
    repaint();
}

void TMyButtonEx::SetGlyph(const TPngImage& glyph)
{
    glyph_ = glyph;
    update();
}

void TMyButtonEx::SetDrawFocus(bool drawFocus)
{
    drawFocus_ = drawFocus;
    update();
}

void TMyButtonEx::setColor(TColor& field, TColor color)
{
    field = color;
    update();
}

void TMyButtonEx::updateShortcut()
{
    if (shortcutId_ != 0)
        releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    const QChar letter = clipforge::acceleratorOf(caption_);
    if (!letter.isNull())
        shortcutId_ = grabShortcut(QKeySequence(Qt::ALT | QKeySequence(QString(letter.toUpper()))[0].key()));
}

bool TMyButtonEx::DialogChar(QChar character)
{
    const QChar letter = clipforge::acceleratorOf(caption_);
    if (letter.isNull() || letter.toUpper() != character.toUpper())
        return false;
    const bool canFocus = isEnabled() && isVisible() && focusPolicy() != Qt::NoFocus;
    if (!canFocus)
        return false;
    Click();
    return true;
}

// A keyboard click leaves no pressed face behind, so the next mouse release is not a click.
void TMyButtonEx::Click()
{
    fireClick();
}

void TMyButtonEx::fireClick()
{
    if (isVisible() && isEnabled() && OnClick)
        OnClick(this);
}

bool TMyButtonEx::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == shortcutId_ && shortcutId_ != 0) {
            DialogChar(clipforge::acceleratorOf(caption_));
            return true;
        }
    }
    return QWidget::event(event);
}

void TMyButtonEx::mousePressEvent(QMouseEvent* event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton)
        return;
    press_.press();
    setFocus(Qt::MouseFocusReason);
    repaint();
}

void TMyButtonEx::mouseMoveEvent(QMouseEvent* event)
{
    if (press_.move(rect().contains(event->position().toPoint())))
        repaint();
}

// A press dragged off was cancelled by the move, so a release ends a press that is still on.
void TMyButtonEx::mouseReleaseEvent(QMouseEvent*)
{
    if (!press_.pressed())
        return;
    press_.release(true);
    repaint();
    fireClick();
}

void TMyButtonEx::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    repaint();
}

void TMyButtonEx::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    repaint();
}

void TMyButtonEx::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        press_.cancel();
        update();
    }
    QWidget::changeEvent(event);
}

void TMyButtonEx::resizeEvent(QResizeEvent* event)
{
    // The rounded window outline depends only on the size, so it is set when the size changes.
    setMask(clipforge::roundRectRegion({0, 0, width() + 1, height() + 1}, cornerEllipse, cornerEllipse));
    QWidget::resizeEvent(event);
}

int TMyButtonEx::captionLeft(const Canvas& canvas) const
{
    const int textWidth = canvas.textWidth(caption_);
    if (glyph_.empty())
        return (width() - textWidth) / 2;
    return (width() - glyph_.width() - textWidth - glyphGap) / 2;
}

QImage TMyButtonEx::render() const
{
    const int w = width();
    const int h = height();
    QImage bitmap = clipforge::makeBitmap(w, h);
    if (bitmap.isNull())
        return bitmap;
    clipforge::drawButtonGradient(bitmap, press_.pressed() ? clickColorFrom_ : defaultColorFrom_, press_.pressed() ? clickColorTo_ : defaultColorTo_);
    Canvas canvas(bitmap);
    canvas.setFont(font());
    const int x0 = captionLeft(canvas);
    const int shift = press_.pressed() ? pressedShift : 0;
    if (!glyph_.empty()) {
        const int top = (h - glyph_.height()) / 2;
        const Rect target{x0 + shift, top + shift, x0 + shift + glyph_.width(), top + shift + glyph_.height()};
        if (isEnabled()) {
            glyph_.draw(canvas, target);
        } else {
            TPngImage faded = glyph_;
            FadePicture(faded, 50);
            faded.draw(canvas, target);
        }
    }
    canvas.setFontColor(isEnabled() ? fontColor_ : disabledTextColor);
    const int left = glyph_.empty() ? x0 : x0 + glyph_.width() + glyphGap + shift;
    Rect captionRect{left, shift, left + canvas.textWidth(caption_), h + shift};
    canvas.setPenColor(borderColor_);
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    canvas.roundRect({0, 0, w, h}, cornerEllipse, cornerEllipse);
    canvas.drawText(caption_, captionRect, clipforge::dtSingleLine | clipforge::dtVCenter | clipforge::dtCenter);
    return bitmap;
}

bool TMyButtonEx::showsFocusFrame() const
{
    return hasFocus() && isEnabled() && (drawFocus_ || clipforge::KeyboardCues::visible());
}

void TMyButtonEx::paintEvent(QPaintEvent*)
{
    QImage face = render();
    if (showsFocusFrame()) {
        Canvas canvas(face);
        canvas.focusRect({4, 4, width() - 4, height() - 4});
    }
    QPainter painter(this);
    painter.drawImage(0, 0, face);
}
