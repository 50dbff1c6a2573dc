#pragma once

#include <QAccessibleWidget>

#include <map>
#include <utility>

class QAbstractItemView;
class QTreeView;

namespace clipforge {

class ItemCellAccessible;

// A tree view that shows one level only (the job list): read as rows, as a list is.
void markFlatTree(QTreeView& view);
// Whether object is a list, or a tree view marked flat, that ItemViewAccessible reads.
QAbstractItemView* rowView(QObject* object);

// A list, or a one-level tree, read as a table of rows whose cells offer nothing to press: the
// toolkit's own reading gives every cell "Toggle", which only selects it. Children are numbered
// as the toolkit's views number them in their own notices (focus, selection): a tree's column
// headers first, hidden or not, then its rows; a list's rows alone.
class ItemViewAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ItemViewAccessible(QAbstractItemView* view);
    ~ItemViewAccessible() override;

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return QString(); }
    int selectedColumnCount() const override { return static_cast<int>(selectedColumns().size()); }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    // Columns are not chosen on their own in these lists.
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    QAbstractItemView& view() const;
    int headerRows() const;
    QModelIndex indexAt(int row, int column) const;
    QAccessibleInterface* cached(int row, int column, const QModelIndex& index) const;
    QAccessibleInterface* headerCell(int column) const;
    void forgetCells();

    // Cells by (row, column), row -1 for the headers; made when first asked for, as the
    // toolkit keeps one interface per cell for the screen reader to refer to.
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
};

}  // namespace clipforge
