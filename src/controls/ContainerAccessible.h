#pragma once

#include <QAccessibleWidget>

#include <vector>

class QWidget;

namespace clipforge {

// Keeps a picture that only decorates (a banner, a strip along an edge) out of what a screen
// reader walks through: it has nothing to say, and an unnamed image is noise.
void markDecorative(QWidget& picture);
bool isDecorative(const QWidget& widget);

// A window or panel whose children are read without its decorative ones.
class ContainerAccessible : public QAccessibleWidget {
public:
    ContainerAccessible(QWidget* container, QAccessible::Role role);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    std::vector<QAccessibleInterface*> readChildren() const;
};

}  // namespace clipforge
