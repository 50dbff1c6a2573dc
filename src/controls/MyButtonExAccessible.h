#pragma once

#include "controls/AccessibleButton.h"

class TMyButtonEx;

namespace clipforge {

// Named by its caption.
class MyButtonExAccessible : public AccessibleButton {
public:
    explicit MyButtonExAccessible(TMyButtonEx* button);

protected:
    QString caption() const override;
    bool clickable() const override;
    bool pressed() const override;
    void click() override;

private:
    TMyButtonEx& button() const;
};

}  // namespace clipforge
