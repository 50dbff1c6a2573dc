#include "controls/ImageButtonAccessible.h"

#include "controls/ImageButton.h"

#include <QLabel>

namespace clipforge {

ImageButtonAccessible::ImageButtonAccessible(TImageButton* button)
    : AccessibleButton(button)
{
}

TImageButton& ImageButtonAccessible::button() const
{
    return *static_cast<TImageButton*>(widget());
}

// The caption is a label of its own, beside the button.
QString ImageButtonAccessible::caption() const
{
    const QWidget* parent = button().parentWidget();
    if (!parent)
        return {};
    for (const QObject* sibling : parent->children()) {
        const auto* label = qobject_cast<const QLabel*>(sibling);
        if (label && label->buddy() == &button())
            return label->text();
    }
    return {};
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
