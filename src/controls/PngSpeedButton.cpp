#include "controls/PngSpeedButton.h"

#include "controls/ButtonKeys.h"
#include "controls/KeyboardCues.h"
#include "controls/PngImageList.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

using clipforge::Canvas;
using clipforge::Rect;

namespace {

// Around the picture, inside the frame a flat button shows under the mouse.
constexpr int focusInset = 2;

}  // namespace

TPngSpeedButton::TPngSpeedButton(QWidget* parent)
    : QWidget(parent)
{
    setFont(clipforge::makeFont(QStringLiteral("MS Sans Serif"), -11));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(23, 22);
    // Only a form that puts the button in its Tab order gives it the keyboard.
    clipforge::makeKeyboardButton(*this, [this] { Click(); });
}

void TPngSpeedButton::SetPngImage(const TPngImage& picture)
{
    pngImage_ = picture;
    // Drawn with its stored colours, like the bitmaps beside it.
    if (!pngImage_.isGrayscale())
        pngImage_.removeGamma();
    imageFromAction_ = false;
    repaint();
}

void TPngSpeedButton::SetPngOptions(TPngOptions options)
{
    if (options == pngOptions_)
        return;
    pngOptions_ = options;
    repaint();
}

void TPngSpeedButton::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void TPngSpeedButton::SetFontColor(TColor color)
{
    fontColor_ = color;
    update();
}

void TPngSpeedButton::SetFlat(bool flat)
{
    flat_ = flat;
    update();
}

void TPngSpeedButton::SetSpacing(int spacing)
{
    spacing_ = spacing;
    update();
}

void TPngSpeedButton::SetMargin(int margin)
{
    margin_ = margin;
    update();
}

void TPngSpeedButton::SetLayout(TButtonLayout layout)
{
    layout_ = layout;
    update();
}

void TPngSpeedButton::SetDown(bool down)
{
    if (groupIndex_ == 0)
        down = false;
    if (down == down_)
        return;
    down_ = down;
    if (down_)
        releaseGroup();
    update();
}

void TPngSpeedButton::releaseGroup()
{
    if (parentWidget() == nullptr)
        return;
    for (TPngSpeedButton* sibling : parentWidget()->findChildren<TPngSpeedButton*>(Qt::FindDirectChildrenOnly)) {
        if (sibling != this && sibling->groupIndex_ == groupIndex_ && sibling->down_) {
            sibling->down_ = false;
            sibling->update();
        }
    }
}

void TPngSpeedButton::ActionChange(const TPngImageList* images, int imageIndex)
{
    if (images == nullptr || imageIndex < 0 || imageIndex >= images->PngImages().Count())
        return;
    if (!pngImage_.empty() && !imageFromAction_)
        return;
    pngImage_ = images->PngImages().Items(imageIndex)->PngImage();
    imageFromAction_ = true;
    update();
}

void TPngSpeedButton::Click()
{
    if (groupIndex_ != 0 && (!down_ || allowAllUp_))
        SetDown(!down_);
    if (OnClick)
        OnClick(this);
}

void TPngSpeedButton::paintFrame(Canvas& canvas) const
{
    const int w = width();
    const int h = height();
    const bool sunken = IsPressed();
    if (flat_ && !sunken && !(press_.hovered() && isEnabled()))
        return;
    const TColor topLeft = sunken ? clBtnShadow : clBtnHighlight;
    const TColor bottomRight = sunken ? clBtnHighlight : (flat_ ? clBtnShadow : cl3DDkShadow);
    canvas.fillRect({0, 0, w, 1}, topLeft);
    canvas.fillRect({0, 0, 1, h}, topLeft);
    canvas.fillRect({0, h - 1, w, h}, bottomRight);
    canvas.fillRect({w - 1, 0, w, h}, bottomRight);
    if (!flat_ && !sunken) {
        canvas.fillRect({1, h - 2, w - 1, h - 1}, clBtnShadow);
        canvas.fillRect({w - 2, 1, w - 1, h - 1}, clBtnShadow);
    }
}

void TPngSpeedButton::paintCaption(Canvas& canvas, const Rect& textRect) const
{
    if (caption_.isEmpty())
        return;
    const unsigned flags = clipforge::dtCenter | clipforge::dtVCenter | clipforge::dtSingleLine;
    canvas.setBrushStyle(clipforge::BrushStyle::Clear);
    if (!isEnabled()) {
        Rect engraved = textRect.translated(1, 1);
        canvas.setFontColor(clBtnHighlight);
        canvas.drawText(caption_, engraved, flags);
        canvas.setFontColor(clBtnShadow);
    } else {
        canvas.setFontColor(fontColor_);
    }
    Rect rect = textRect;
    canvas.drawText(caption_, rect, flags);
}

QImage TPngSpeedButton::render() const
{
    QImage bitmap = clipforge::makeBitmap(width(), height(), clBtnFace);
    if (bitmap.isNull())
        return bitmap;
    Canvas canvas(bitmap);
    canvas.setFont(font());
    paintFrame(canvas);
    const unsigned flags = layoutDirection() == Qt::RightToLeft ? clipforge::dtRtlReading : 0u;
    const clipforge::ButtonLayoutResult layout = LayoutButton(canvas, pngImage_, {0, 0, width(), height()}, flags,
                                                              spacing_, margin_, layout_, caption_, IsPressed());
    paintCaption(canvas, layout.textRect);
    if (!pngImage_.empty()) {
        const QPoint p = layout.glyphPosition;
        DrawPicture(pngImage_, canvas, {p.x(), p.y(), p.x() + pngImage_.width(), p.y() + pngImage_.height()},
                    isEnabled() ? TPngOptions{} : pngOptions_);
    }
    return bitmap;
}

void TPngSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, render());
    if (hasFocus() && clipforge::KeyboardCues::visible())
        clipforge::drawFocusRect(painter, {focusInset, focusInset, width() - focusInset, height() - focusInset});
}

void TPngSpeedButton::enterEvent(QEnterEvent* event)
{
    press_.hover(true);
    update();
    QWidget::enterEvent(event);
}

void TPngSpeedButton::leaveEvent(QEvent* event)
{
    press_.hover(false);
    update();
    QWidget::leaveEvent(event);
}

void TPngSpeedButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    press_.press();
    update();
}

void TPngSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    if (press_.move(rect().contains(event->position().toPoint())))
        update();
}

void TPngSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (!press_.tracking() || event->button() != Qt::LeftButton)
        return;
    const bool click = press_.release(rect().contains(event->position().toPoint()));
    update();
    if (click)
        Click();
}

void TPngSpeedButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        press_.cancel();
        update();
    }
    QWidget::changeEvent(event);
}
