#include "controls/ItemViewAccessible.h"

#include "controls/AccessibleControls.h"
#include "controls/ItemCellAccessible.h"

#include <QListView>
#include <QTreeView>

namespace clipforge {

namespace {

const char* const flatTreeProperty = "clipforge_flat_tree";

QAccessible::Role viewRole(const QAbstractItemView& view)
{
    return qobject_cast<const QTreeView*>(&view) ? QAccessible::Tree : QAccessible::List;
}

QAccessible::Role cellRole(const QAbstractItemView& view)
{
    return qobject_cast<const QTreeView*>(&view) ? QAccessible::TreeItem : QAccessible::ListItem;
}

}  // namespace

void markFlatTree(QTreeView& view)
{
    view.setProperty(flatTreeProperty, true);
    installAccessibleControls();
}

QAbstractItemView* rowView(QObject* object)
{
    if (auto* list = qobject_cast<QListView*>(object))
        return list;
    auto* tree = qobject_cast<QTreeView*>(object);
    return tree && tree->property(flatTreeProperty).toBool() ? tree : nullptr;
}

ItemViewAccessible::ItemViewAccessible(QAbstractItemView* view)
    : QAccessibleWidget(view, viewRole(*view))
{
}

ItemViewAccessible::~ItemViewAccessible()
{
    forgetCells();
}

QAbstractItemView& ItemViewAccessible::view() const
{
    return *static_cast<QAbstractItemView*>(widget());
}

void* ItemViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

int ItemViewAccessible::headerRows() const
{
    return qobject_cast<const QTreeView*>(&view()) ? 1 : 0;
}

int ItemViewAccessible::rowCount() const
{
    return view().model() ? view().model()->rowCount(view().rootIndex()) : 0;
}

int ItemViewAccessible::columnCount() const
{
    if (!view().model())
        return 0;
    return headerRows() ? view().model()->columnCount(view().rootIndex()) : 1;
}

QModelIndex ItemViewAccessible::indexAt(int row, int column) const
{
    const auto* list = qobject_cast<const QListView*>(&view());
    if (!view().model() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return QModelIndex();
    return view().model()->index(row, list ? list->modelColumn() : column, view().rootIndex());
}

int ItemViewAccessible::childCount() const
{
    return (rowCount() + headerRows()) * columnCount();
}

QAccessibleInterface* ItemViewAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || columns == 0)
        return nullptr;
    const int row = index / columns - headerRows();
    return row < 0 ? headerCell(index % columns) : cellAt(row, index % columns);
}

int ItemViewAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* cell = dynamic_cast<const ItemCellAccessible*>(child);
    if (!cell || cell->parent() != this)
        return -1;
    const int row = cell->isHeader() ? -1 : cell->rowIndex();
    return (row + headerRows()) * columnCount() + cell->columnIndex();
}

QAccessibleInterface* ItemViewAccessible::childAt(int x, int y) const
{
    const QModelIndex under = view().indexAt(view().viewport()->mapFromGlobal(QPoint(x, y)));
    return under.isValid() && under.parent() == view().rootIndex() ? cellAt(under.row(), headerRows() ? under.column() : 0)
                                                                   : nullptr;
}

QAccessibleInterface* ItemViewAccessible::focusChild() const
{
    const QModelIndex current = view().currentIndex();
    return current.isValid() ? cellAt(current.row(), headerRows() ? current.column() : 0) : nullptr;
}

QAccessibleInterface* ItemViewAccessible::cellAt(int row, int column) const
{
    const QModelIndex index = indexAt(row, column);
    return index.isValid() ? cached(row, column, index) : nullptr;
}

QAccessibleInterface* ItemViewAccessible::headerCell(int column) const
{
    return column < columnCount() ? cached(-1, column, QModelIndex()) : nullptr;
}

// A cell made for an index the rows have since moved away from is made again.
QAccessibleInterface* ItemViewAccessible::cached(int row, int column, const QModelIndex& index) const
{
    const auto found = cells_.find({row, column});
    if (found != cells_.end()) {
        auto* cell = static_cast<ItemCellAccessible*>(QAccessible::accessibleInterface(found->second));
        if (cell && cell->isValid() && cell->index() == index)
            return cell;
        QAccessible::deleteAccessibleInterface(found->second);
        cells_.erase(found);
    }
    auto* view = &this->view();
    auto* cell = row < 0 ? new ItemCellAccessible(view, column) : new ItemCellAccessible(view, index, cellRole(*view));
    cells_[{row, column}] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

void ItemViewAccessible::forgetCells()
{
    for (const auto& [place, id] : cells_)
        QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}

QString ItemViewAccessible::columnDescription(int column) const
{
    return view().model() ? view().model()->headerData(column, Qt::Horizontal).toString() : QString();
}

QList<QAccessibleInterface*> ItemViewAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    if (!view().selectionModel())
        return cells;
    for (const QModelIndex& index : view().selectionModel()->selectedIndexes())
        if (index.parent() == view().rootIndex())
            cells << cellAt(index.row(), headerRows() ? index.column() : 0);
    cells.removeAll(nullptr);
    return cells;
}

int ItemViewAccessible::selectedCellCount() const
{
    return static_cast<int>(selectedCells().size());
}

QList<int> ItemViewAccessible::selectedRows() const
{
    QList<int> rows;
    for (int row = 0; row < rowCount(); ++row)
        if (isRowSelected(row))
            rows << row;
    return rows;
}

QList<int> ItemViewAccessible::selectedColumns() const
{
    QList<int> columns;
    for (int column = 0; column < columnCount(); ++column)
        if (isColumnSelected(column))
            columns << column;
    return columns;
}

bool ItemViewAccessible::isRowSelected(int row) const
{
    return view().selectionModel() && view().selectionModel()->isRowSelected(row, view().rootIndex());
}

bool ItemViewAccessible::isColumnSelected(int column) const
{
    return view().selectionModel() && rowCount() > 0 && view().selectionModel()->isColumnSelected(column, view().rootIndex());
}

bool ItemViewAccessible::selectRow(int row)
{
    const QModelIndex index = indexAt(row, 0);
    if (!index.isValid() || !view().selectionModel() || view().selectionMode() == QAbstractItemView::NoSelection)
        return false;
    const bool alone = view().selectionMode() == QAbstractItemView::SingleSelection;
    const auto how = alone ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select;
    view().selectionModel()->select(index, how | QItemSelectionModel::Rows);
    return true;
}

bool ItemViewAccessible::unselectRow(int row)
{
    const QModelIndex index = indexAt(row, 0);
    if (!index.isValid() || !view().selectionModel())
        return false;
    view().selectionModel()->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    return true;
}

// A cell reads its item as it is now, so changed data leaves the cells be; rows that come, go or
// move change which cell is where.
void ItemViewAccessible::modelChange(QAccessibleTableModelChangeEvent* event)
{
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        forgetCells();
}

}  // namespace clipforge
