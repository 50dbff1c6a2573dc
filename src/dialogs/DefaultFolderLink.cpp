#include "dialogs/DefaultFolderLink.h"

#include "dialogs/FormStyle.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace clipforge {

using namespace formstyle;

DefaultFolderLink::DefaultFolderLink(QWidget* parent, std::function<void()> onUse)
    : QLabel(QStringLiteral("use default folder"), parent)
    , onUse_(std::move(onUse))
{
    setFont(formFont(-12, fsUnderline));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    adjustSize();
    resize(width() + 4, height());
    move(rightEdge - width(), top);
    setUsable(false);
}

void DefaultFolderLink::setUsable(bool usable)
{
    setEnabled(usable);
    setTextColor(*this, usable ? captionBlue : disabledGrey);
    // A disabled label would paint in the palette's disabled colour, not the form's grey.
    QPalette colours = palette();
    colours.setColor(QPalette::Disabled, QPalette::WindowText, colours.color(QPalette::Active, QPalette::WindowText));
    setPalette(colours);
}

void DefaultFolderLink::use()
{
    if (isEnabled() && onUse_)
        onUse_();
}

void DefaultFolderLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        use();
    QLabel::mouseReleaseEvent(event);
}

void DefaultFolderLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        use();
        return;
    }
    QLabel::keyPressEvent(event);
}

void DefaultFolderLink::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen dotted(palette().color(QPalette::WindowText), 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace clipforge
