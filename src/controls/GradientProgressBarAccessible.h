#pragma once

#include <QAccessibleWidget>

class TGradientProgressBar;

namespace clipforge {

// A progress bar with its position as the value, between Min and Max, read as a percentage.
class GradientProgressBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GradientProgressBarAccessible(TGradientProgressBar* bar);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    TGradientProgressBar& bar() const;
};

}  // namespace clipforge
