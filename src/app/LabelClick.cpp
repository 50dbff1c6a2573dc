#include "app/LabelClick.h"

#include <QLabel>
#include <QMouseEvent>

namespace clipforge {

LabelClick::LabelClick(QLabel* label, std::function<void()> onClick)
    : label_(label)
    , onClick_(std::move(onClick))
{
    label->installEventFilter(this);
}

bool LabelClick::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != label_ || event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && label_->rect().contains(mouse->position().toPoint()) && onClick_)
        onClick_();
    return false;
}

}  // namespace clipforge
