#include "controls/PngSpeedButtonAccessible.h"

#include "controls/PngSpeedButton.h"

namespace clipforge {

PngSpeedButtonAccessible::PngSpeedButtonAccessible(TPngSpeedButton* button)
    : AccessibleButton(button)
{
}

TPngSpeedButton& PngSpeedButtonAccessible::button() const
{
    return *static_cast<TPngSpeedButton*>(widget());
}

QString PngSpeedButtonAccessible::caption() const
{
    return button().Caption();
}

bool PngSpeedButtonAccessible::clickable() const
{
    return button().isEnabled();
}

bool PngSpeedButtonAccessible::pressed() const
{
    return button().IsPressed();
}

void PngSpeedButtonAccessible::click()
{
    if (button().isEnabled())
        button().Click();
}

}  // namespace clipforge
