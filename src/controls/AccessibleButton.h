#pragma once

#include <QAccessibleWidget>

namespace clipforge {

// One of the program's buttons as assistive technology sees it: a push button named by its
// caption without the accelerator's "&" (or by its accessible name, or by the label it is the
// buddy of), pressable through the press action, unavailable while it refuses clicks.
class AccessibleButton : public QAccessibleWidget {
public:
    explicit AccessibleButton(QWidget* button, QAccessible::Role role = QAccessible::Button);

    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;
    QStringList keyBindingsForAction(const QString& action) const override;

protected:
    // The caption as the button shows it, "&" included; empty for a button without one.
    virtual QString caption() const { return {}; }
    virtual bool clickable() const = 0;
    virtual bool pressed() const = 0;
    virtual void click() = 0;
};

// "&Import" reads "Import", "S&upport" "Support", "R&&D" "R&D".
QString withoutAccelerator(const QString& caption);

}  // namespace clipforge
