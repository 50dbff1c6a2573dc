#pragma once

#include <QAccessibleInterface>
#include <QPersistentModelIndex>
#include <QPointer>

class QAbstractItemView;

namespace clipforge {

// One cell of a list read as rows, or one of its column headers. It offers no action: the
// toolkit's cells offer "Toggle", which only selects them, and nothing in these lists toggles.
class ItemCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    ItemCellAccessible(QAbstractItemView* view, const QModelIndex& index, QAccessible::Role role);
    // The header of a column, which the view may hide.
    ItemCellAccessible(QAbstractItemView* view, int column);

    QModelIndex index() const { return index_; }
    bool isHeader() const { return headerColumn_ >= 0; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return role_; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QAccessible::State cellState() const;

    QPointer<QAbstractItemView> view_;
    QPersistentModelIndex index_;
    int headerColumn_ = -1;
    QAccessible::Role role_;
};

}  // namespace clipforge
