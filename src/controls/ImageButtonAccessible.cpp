#include "controls/ImageButtonAccessible.h"

#include "controls/ImageButton.h"

namespace clipforge {

ImageButtonAccessible::ImageButtonAccessible(TImageButton* button)
    : AccessibleButton(button)
{
}

TImageButton& ImageButtonAccessible::button() const
{
    return *static_cast<TImageButton*>(widget());
}

bool ImageButtonAccessible::clickable() const
{
    return button().Enabled();
}

bool ImageButtonAccessible::pressed() const
{
    return button().IsDown();
}

void ImageButtonAccessible::click()
{
    button().Click();
}

}  // namespace clipforge
