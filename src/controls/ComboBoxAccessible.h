#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace clipforge {

// A drop-down list read as what it chooses ("Profile"), its accessible name, with the chosen item
// as its value and description. The toolkit's own reading on this desktop names a drop-down list
// by its chosen item, so a screen reader announces "Small MP4 360p [mine]" and never what is
// being chosen. Without a name of its own it is read as the toolkit reads it.
class ComboBoxAccessible : public QAccessibleWidget {
public:
    explicit ComboBoxAccessible(QComboBox* box);

    QString text(QAccessible::Text kind) const override;

    // The list it drops down, as the toolkit offers it.
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    QStringList actionNames() const override;
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString& name) const override;

private:
    QComboBox& box() const;
};

}  // namespace clipforge
