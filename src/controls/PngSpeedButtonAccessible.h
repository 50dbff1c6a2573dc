#pragma once

#include "controls/AccessibleButton.h"

class TPngSpeedButton;

namespace clipforge {

// Named by its caption, or, for a picture-only button, by the accessible name its form gives it.
class PngSpeedButtonAccessible : public AccessibleButton {
public:
    explicit PngSpeedButtonAccessible(TPngSpeedButton* button);

protected:
    QString caption() const override;
    bool clickable() const override;
    bool pressed() const override;
    void click() override;

private:
    TPngSpeedButton& button() const;
};

}  // namespace clipforge
