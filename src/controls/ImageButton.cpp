#include "controls/ImageButton.h"

#include "controls/ButtonKeys.h"
#include "controls/KeyboardCues.h"

#include <QAccessible>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

using clipforge::Rect;

namespace {

constexpr int pressedShift = 2;
// Around picture and caption alike: the caption label lies inside the button's lower edge.
constexpr int focusInset = 2;

Rect pictureRect(const TPngImage& picture, int offset)
{
    return {offset, offset, picture.width() + offset, picture.height() + offset};
}

} // namespace

TImageButton::TImageButton(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    imageRect_ = currentLook().rect;
    clipforge::makeKeyboardButton(*this, [this] { Click(); });
}

void TImageButton::setPicture(TPngImage& field, const TPngImage& picture)
{
    field = picture;
    stateChanged();
}

void TImageButton::SetUseDown(bool useDown)
{
    useDown_ = useDown;
    stateChanged();
}

void TImageButton::SetEnabled(bool enabled)
{
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    updateFocusPolicy();
    stateChanged();
    QAccessible::State changed;
    changed.disabled = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void TImageButton::SetTabStop(bool tabStop)
{
    tabStop_ = tabStop;
    updateFocusPolicy();
}

// A disabled button is passed over by Tab, as a disabled control is everywhere else.
void TImageButton::updateFocusPolicy()
{
    setFocusPolicy(tabStop_ && enabled_ ? Qt::TabFocus : Qt::NoFocus);
}

void TImageButton::Click()
{
    if (enabled_ && OnClick)
        OnClick(this);
}

// The hit area follows the look at once, so a mouse event that arrives before the repaint
// already tests against the picture that repaint will show.
void TImageButton::stateChanged()
{
    imageRect_ = currentLook().rect;
    update();
}

TImageButton::Look TImageButton::currentLook() const
{
    if (!enabled_)
        return {&imageDisable_, pictureRect(imageDisable_, 0)};
    if (press_.pressed()) {
        const int offset = useDown_ ? pressedShift : 0;
        // Without a pressed picture the over picture stands in, and without that the normal one,
        // and so does its area: an empty hit area would cancel every press and the button could
        // never be clicked.
        const TPngImage* picture = !imageDown_.empty() ? &imageDown_ : !imageOver_.empty() ? &imageOver_ : &image_;
        return {picture, pictureRect(*picture, offset)};
    }
    if (press_.hovered() && !imageOver_.empty())
        return {&imageOver_, pictureRect(imageOver_, 0)};
    return {&image_, pictureRect(image_, 0)};
}

QImage TImageButton::render() const
{
    QImage surface(width(), height(), QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::transparent);
    if (surface.isNull())
        return surface;
    const Look look = currentLook();
    if (!look.picture->empty()) {
        clipforge::Canvas canvas(surface);
        look.picture->draw(canvas, look.rect);
    }
    return surface;
}

void TImageButton::paintEvent(QPaintEvent*)
{
    imageRect_ = currentLook().rect;
    QPainter painter(this);
    painter.drawImage(0, 0, render());
    if (hasFocus() && clipforge::KeyboardCues::visible())
        clipforge::drawFocusRect(painter, {focusInset, focusInset, width() - focusInset, height() - focusInset});
}

void TImageButton::enterEvent(QEnterEvent* event)
{
    press_.hover(true);
    stateChanged();
    QWidget::enterEvent(event);
}

void TImageButton::leaveEvent(QEvent* event)
{
    press_.hover(false);
    stateChanged();
    QWidget::leaveEvent(event);
}

void TImageButton::mousePressEvent(QMouseEvent*)
{
    press_.press();
    stateChanged();
}

void TImageButton::mouseMoveEvent(QMouseEvent* event)
{
    if (imageRect_.contains(event->position().toPoint()))
        return;
    press_.move(false);
    stateChanged();
}

void TImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = press_.release(imageRect_.contains(event->position().toPoint()));
    stateChanged();
    if (click && enabled_ && event->button() == Qt::LeftButton && OnClick)
        OnClick(this);
}
