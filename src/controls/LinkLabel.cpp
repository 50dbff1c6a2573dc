#include "controls/LinkLabel.h"

#include "controls/ButtonKeys.h"
#include "controls/Canvas.h"
#include "controls/KeyboardCues.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace clipforge {

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    makeKeyboardButton(*this, [this] { Click(); });
}

void LinkLabel::Click()
{
    if (isEnabled() && OnClick)
        OnClick();
}

// The frame hugs the text, wherever the alignment puts it in the label.
void LinkLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus() || !KeyboardCues::visible())
        return;
    const QRect text = QFontMetrics(font()).boundingRect(contentsRect(), static_cast<int>(alignment()), this->text());
    QPainter painter(this);
    drawFocusRect(painter, Rect::fromQRect(text.adjusted(-1, 0, 1, 0).intersected(rect())));
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

}  // namespace clipforge
