#pragma once

#include <QAccessibleWidget>

namespace clipforge {

// A plain top-level window, with the popup menus it opened among its children while they are
// open. A popup is a window of its own, so otherwise nothing would lead assistive technology to
// it: the application lists no popups, and no widget lists a window as its child.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    QList<QWidget*> openPopups() const;
};

}  // namespace clipforge
