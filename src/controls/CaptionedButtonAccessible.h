#pragma once

#include "controls/AccessibleButton.h"
#include "controls/LinkLabel.h"
#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"

namespace clipforge {

inline QString captionOf(const TMyButtonEx& button) { return button.Caption(); }
inline QString captionOf(const TPngSpeedButton& button) { return button.Caption(); }
inline QString captionOf(const LinkLabel& link) { return link.text(); }
inline bool isPressed(const TMyButtonEx& button) { return button.IsDown(); }
inline bool isPressed(const TPngSpeedButton& button) { return button.IsPressed(); }
inline bool isPressed(const LinkLabel&) { return false; }

// A button that draws its own caption, or a link: named by its caption, available while the
// widget is enabled.
template <class Button>
class CaptionedButtonAccessible : public AccessibleButton {
public:
    explicit CaptionedButtonAccessible(Button* button, QAccessible::Role role = QAccessible::Button)
        : AccessibleButton(button, role)
    {
    }

protected:
    QString caption() const override { return captionOf(button()); }
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
