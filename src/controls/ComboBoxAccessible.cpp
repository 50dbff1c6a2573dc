#include "controls/ComboBoxAccessible.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace clipforge {

ComboBoxAccessible::ComboBoxAccessible(QComboBox* box)
    : QAccessibleWidget(box, QAccessible::ComboBox)
{
}

QComboBox& ComboBoxAccessible::box() const
{
    return *static_cast<QComboBox*>(widget());
}

QString ComboBoxAccessible::text(QAccessible::Text kind) const
{
    switch (kind) {
    case QAccessible::Name:
        return box().accessibleName().isEmpty() ? box().currentText() : box().accessibleName();
    case QAccessible::Value:
    case QAccessible::Description:
        return box().currentText();
    default:
        return QAccessibleWidget::text(kind);
    }
}

int ComboBoxAccessible::childCount() const
{
    return box().view() ? 1 : 0;
}

QAccessibleInterface* ComboBoxAccessible::child(int index) const
{
    return index == 0 && box().view() ? QAccessible::queryAccessibleInterface(box().view()) : nullptr;
}

int ComboBoxAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && box().view() && child->object() == box().view() ? 0 : -1;
}

QStringList ComboBoxAccessible::actionNames() const
{
    return {showMenuAction(), pressAction()};
}

// Pressing a drop-down list drops it down, as the keyboard's Alt+Down does.
void ComboBoxAccessible::doAction(const QString& name)
{
    if (name == showMenuAction() || name == pressAction())
        box().showPopup();
}

QStringList ComboBoxAccessible::keyBindingsForAction(const QString&) const
{
    return {};
}

}  // namespace clipforge
