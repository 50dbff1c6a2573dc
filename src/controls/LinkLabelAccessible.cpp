#include "controls/LinkLabelAccessible.h"

#include "controls/LinkLabel.h"

namespace clipforge {

LinkLabelAccessible::LinkLabelAccessible(LinkLabel* label)
    : AccessibleButton(label, QAccessible::Link)
{
}

LinkLabel& LinkLabelAccessible::label() const
{
    return *static_cast<LinkLabel*>(widget());
}

QString LinkLabelAccessible::caption() const
{
    return label().text();
}

bool LinkLabelAccessible::clickable() const
{
    return label().isEnabled();
}

void LinkLabelAccessible::click()
{
    label().Click();
}

}  // namespace clipforge
