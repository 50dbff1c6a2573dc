#include "controls/LinePanel.h"

#include <QEvent>
#include <QPainter>

using clipforge::Canvas;
using clipforge::Rect;

TLinePanel::TLinePanel(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(185, 41);
}

void TLinePanel::setLineColor(TColor value)
{
    if (lineColor_ == value)
        return;
    lineColor_ = value;
    update();
}

void TLinePanel::setLineBorders(TLineBorders value)
{
    if (lineBorders_ == value)
        return;
    lineBorders_ = value;
    update();
}

void TLinePanel::setCaption(const QString& value)
{
    if (caption_ == value)
        return;
    caption_ = value;
    update();
}

void TLinePanel::setAlignment(TAlignment value)
{
    if (alignment_ == value)
        return;
    alignment_ = value;
    update();
}

void TLinePanel::setFontColor(TColor value)
{
    if (fontColor_ == value)
        return;
    fontColor_ = value;
    update();
}

TColor TLinePanel::Color() const
{
    if (parentColor_ && parentWidget() != nullptr)
        return clipforge::colorFromQColor(parentWidget()->palette().color(parentWidget()->backgroundRole()));
    return color_;
}

void TLinePanel::setColor(TColor value)
{
    if (color_ == value && !parentColor_)
        return;
    color_ = value;
    parentColor_ = false;
    applyColorToPalette();
    update();
}

void TLinePanel::setParentColor(bool value)
{
    if (parentColor_ == value)
        return;
    parentColor_ = value;
    if (parentColor_)
        setPalette(QPalette()); // back to the inherited palette
    else
        applyColorToPalette();
    update();
}

// Children that follow their parent's colour (flat edits, labels) read it from the palette.
void TLinePanel::applyColorToPalette()
{
    QPalette palette = this->palette();
    palette.setColor(backgroundRole(), clipforge::colorToQColor(color_));
    setPalette(palette);
}

void TLinePanel::setBorderWidth(int value)
{
    if (borderWidth_ == value)
        return;
    borderWidth_ = value;
    setContentsMargins(value, value, value, value);
    update();
}

Rect TLinePanel::clientRect() const
{
    return Rect{0, 0, width(), height()}.inflated(-borderWidth_, -borderWidth_);
}

void TLinePanel::paintLines(Canvas& canvas, const Rect& cr) const
{
    canvas.setPenColor(lineColor_);
    const auto line = [&](int x1, int y1, int x2, int y2) {
        canvas.moveTo(x1, y1);
        canvas.lineTo(x2, y2);
    };
    if (lineBorders_ & lbTop)
        line(cr.left, cr.top, cr.right, cr.top);
    if (lineBorders_ & lbLeft)
        line(cr.left, cr.top, cr.left, cr.bottom);
    if (lineBorders_ & lbRight)
        line(cr.right - 1, cr.top, cr.right - 1, cr.bottom);
    if (lineBorders_ & lbBottom)
        line(cr.left, cr.bottom - 1, cr.right, cr.bottom - 1);
}

void TLinePanel::paintCaption(Canvas& canvas, const Rect& cr) const
{
    if (caption_.isEmpty())
        return;
    unsigned flags = clipforge::dtSingleLine | clipforge::dtVCenter;
    if (alignment_ == taCenter)
        flags |= clipforge::dtCenter;
    else if (alignment_ == taRightJustify)
        flags |= clipforge::dtRight;
    canvas.setFont(font());
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    if (!isEnabled()) {
        Rect shadow = cr.translated(1, 1);
        canvas.setFontColor(clBtnHighlight);
        canvas.drawText(caption_, shadow, flags);
        canvas.setFontColor(clBtnShadow);
    } else {
        canvas.setFontColor(fontColor_);
    }
    Rect text = cr;
    canvas.drawText(caption_, text, flags);
}

const QImage& TLinePanel::renderImage()
{
    if (bitmap_.size() != size())
        bitmap_ = clipforge::makeBitmap(width(), height());
    Canvas canvas(bitmap_);
    const Rect cr = clientRect();
    // The border around the client area shows the same background.
    canvas.fillRect({0, 0, width(), height()}, Color());
    paintLines(canvas, cr);
    paintCaption(canvas, cr);
    return bitmap_;
}

void TLinePanel::paintEvent(QPaintEvent*)
{
    const QImage& image = renderImage();
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

void TLinePanel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        update();
}
