#pragma once

#include "controls/AccessibleButton.h"
#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"

namespace clipforge {

inline bool isPressed(const TMyButtonEx& button) { return button.IsDown(); }
inline bool isPressed(const TPngSpeedButton& button) { return button.IsPressed(); }

// A button that draws its own caption: named by it, available while the widget is enabled.
template <class Button>
class CaptionedButtonAccessible : public AccessibleButton {
public:
    explicit CaptionedButtonAccessible(Button* button) : AccessibleButton(button) {}

protected:
    QString caption() const override { return button().Caption(); }
    bool clickable() const override { return button().isEnabled(); }
    bool pressed() const override { return isPressed(button()); }
    // The press arrives queued; the button may have been disabled since.
    void click() override
    {
        if (clickable())
            button().Click();
    }

private:
    Button& button() const { return *static_cast<Button*>(widget()); }
};

}  // namespace clipforge
