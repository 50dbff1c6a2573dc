#pragma once

#include "controls/AccessibleButton.h"

class TImageButton;

namespace clipforge {

// Named by its caption label (the label whose buddy it is); unavailable while its own Enabled
// flag is off, although the widget itself never is.
class ImageButtonAccessible : public AccessibleButton {
public:
    explicit ImageButtonAccessible(TImageButton* button);

protected:
    QString caption() const override;
    bool clickable() const override;
    bool pressed() const override;
    void click() override;

private:
    TImageButton& button() const;
};

}  // namespace clipforge
