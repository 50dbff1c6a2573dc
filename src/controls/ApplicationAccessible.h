#pragma once

#include <QAccessibleObject>

class QWidget;

namespace clipforge {

// The application, with its open popup menus among its top-level windows. A menu names the
// application as its parent, as every window does, but the toolkit leaves popups out of the
// application's children, so assistive technology walking down from it never found the menu.
class ApplicationAccessible : public QAccessibleApplication {
public:
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    static QList<QWidget*> openMenus();
};

}  // namespace clipforge
