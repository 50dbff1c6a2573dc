#include "controls/MyButtonExAccessible.h"

#include "controls/MyButtonEx.h"

namespace clipforge {

MyButtonExAccessible::MyButtonExAccessible(TMyButtonEx* button)
    : AccessibleButton(button)
{
}

TMyButtonEx& MyButtonExAccessible::button() const
{
    return *static_cast<TMyButtonEx*>(widget());
}

QString MyButtonExAccessible::caption() const
{
    return button().Caption();
}

bool MyButtonExAccessible::clickable() const
{
    return button().isEnabled();
}

bool MyButtonExAccessible::pressed() const
{
    return button().IsDown();
}

void MyButtonExAccessible::click()
{
    button().Click();
}

}  // namespace clipforge
