#include "controls/ApplicationAccessible.h"

#include <QApplication>
#include <QMenu>

namespace clipforge {

QList<QWidget*> ApplicationAccessible::openMenus()
{
    QList<QWidget*> menus;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<QMenu*>(window) && window->isVisible())
            menus << window;
    return menus;
}

int ApplicationAccessible::childCount() const
{
    return QAccessibleApplication::childCount() + static_cast<int>(openMenus().size());
}

QAccessibleInterface* ApplicationAccessible::child(int index) const
{
    const int windows = QAccessibleApplication::childCount();
    if (index < windows)
        return QAccessibleApplication::child(index);
    const QList<QWidget*> menus = openMenus();
    return index - windows < menus.size() ? QAccessible::queryAccessibleInterface(menus[index - windows]) : nullptr;
}

int ApplicationAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const int window = QAccessibleApplication::indexOfChild(child);
    if (window >= 0 || !child)
        return window;
    const int menu = static_cast<int>(openMenus().indexOf(qobject_cast<QWidget*>(child->object())));
    return menu < 0 ? -1 : QAccessibleApplication::childCount() + menu;
}

}  // namespace clipforge
