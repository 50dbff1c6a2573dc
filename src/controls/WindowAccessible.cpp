#include "controls/WindowAccessible.h"

#include <QWidget>

namespace clipforge {

WindowAccessible::WindowAccessible(QWidget* window)
    : QAccessibleWidget(window, QAccessible::Window)
{
}

QList<QWidget*> WindowAccessible::openPopups() const
{
    QList<QWidget*> popups;
    for (QObject* child : widget()->children()) {
        auto* popup = qobject_cast<QWidget*>(child);
        if (popup && popup->isWindow() && popup->windowType() == Qt::Popup && popup->isVisible())
            popups << popup;
    }
    return popups;
}

int WindowAccessible::childCount() const
{
    return QAccessibleWidget::childCount() + static_cast<int>(openPopups().size());
}

QAccessibleInterface* WindowAccessible::child(int index) const
{
    const int own = QAccessibleWidget::childCount();
    if (index < own)
        return QAccessibleWidget::child(index);
    const QList<QWidget*> popups = openPopups();
    return index - own < popups.size() ? QAccessible::queryAccessibleInterface(popups[index - own]) : nullptr;
}

int WindowAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const int own = QAccessibleWidget::indexOfChild(child);
    if (own >= 0 || !child)
        return own;
    const int popup = static_cast<int>(openPopups().indexOf(qobject_cast<QWidget*>(child->object())));
    return popup < 0 ? -1 : QAccessibleWidget::childCount() + popup;
}

}  // namespace clipforge
