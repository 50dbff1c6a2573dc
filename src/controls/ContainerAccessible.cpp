#include "controls/ContainerAccessible.h"

#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace clipforge {

namespace {

const char* const decorativeProperty = "clipforge_decorative";

}  // namespace

void markDecorative(QWidget& picture)
{
    picture.setProperty(decorativeProperty, true);
}

bool isDecorative(const QWidget& widget)
{
    return widget.property(decorativeProperty).toBool();
}

ContainerAccessible::ContainerAccessible(QWidget* container, QAccessible::Role role)
    : QAccessibleWidget(container, role)
{
}

std::vector<QAccessibleInterface*> ContainerAccessible::readChildren() const
{
    std::vector<QAccessibleInterface*> children;
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
        QAccessibleInterface* read = QAccessibleWidget::child(i);
        const QWidget* shown = read && read->object() && read->object()->isWidgetType()
                                   ? static_cast<const QWidget*>(read->object())
                                   : nullptr;
        if (read && !(shown && isDecorative(*shown)))
            children.push_back(read);
    }
    return children;
}

int ContainerAccessible::childCount() const
{
    return static_cast<int>(readChildren().size());
}

QAccessibleInterface* ContainerAccessible::child(int index) const
{
    const std::vector<QAccessibleInterface*> children = readChildren();
    return index >= 0 && index < static_cast<int>(children.size()) ? children[static_cast<size_t>(index)] : nullptr;
}

int ContainerAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const std::vector<QAccessibleInterface*> children = readChildren();
    const auto found = std::find(children.begin(), children.end(), child);
    return found == children.end() ? -1 : static_cast<int>(found - children.begin());
}

}  // namespace clipforge
