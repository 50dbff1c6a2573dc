#pragma once

#include "controls/AccessibleButton.h"

namespace clipforge {

class LinkLabel;

// A link named by its text, pressable like a button.
class LinkLabelAccessible : public AccessibleButton {
public:
    explicit LinkLabelAccessible(LinkLabel* label);

protected:
    QString caption() const override;
    bool clickable() const override;
    bool pressed() const override { return false; }
    void click() override;

private:
    LinkLabel& label() const;
};

}  // namespace clipforge
