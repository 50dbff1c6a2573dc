#include "controls/ItemCellAccessible.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QTreeView>

namespace clipforge {

namespace {

QHeaderView* headerOf(const QAbstractItemView& view)
{
    const auto* tree = qobject_cast<const QTreeView*>(&view);
    return tree ? tree->header() : nullptr;
}

}  // namespace

ItemCellAccessible::ItemCellAccessible(QAbstractItemView* view, const QModelIndex& index, QAccessible::Role role)
    : view_(view)
    , index_(index)
    , role_(role)
{
}

ItemCellAccessible::ItemCellAccessible(QAbstractItemView* view, int column)
    : view_(view)
    , headerColumn_(column)
    , role_(QAccessible::ColumnHeader)
{
}

bool ItemCellAccessible::isValid() const
{
    return view_ && view_->model() && (isHeader() || index_.isValid());
}

QAccessibleInterface* ItemCellAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(view_.data());
}

QString ItemCellAccessible::text(QAccessible::Text kind) const
{
    if (!isValid())
        return QString();
    if (isHeader())
        return kind == QAccessible::Name ? view_->model()->headerData(headerColumn_, Qt::Horizontal).toString() : QString();
    if (kind == QAccessible::Description)
        return index_.data(Qt::AccessibleDescriptionRole).toString();
    if (kind != QAccessible::Name)
        return QString();
    const QString told = index_.data(Qt::AccessibleTextRole).toString();
    return told.isEmpty() ? index_.data(Qt::DisplayRole).toString() : told;
}

QRect ItemCellAccessible::rect() const
{
    if (!isValid())
        return QRect();
    if (!isHeader()) {
        const QRect cell = view_->visualRect(index_);
        return QRect(view_->viewport()->mapToGlobal(cell.topLeft()), cell.size());
    }
    QHeaderView* header = headerOf(*view_);
    if (!header || header->isHidden())
        return QRect();
    const QPoint left(header->sectionViewportPosition(headerColumn_), 0);
    return QRect(header->viewport()->mapToGlobal(left), QSize(header->sectionSize(headerColumn_), header->height()));
}

QAccessible::State ItemCellAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    if (isHeader()) {
        QHeaderView* header = headerOf(*view_);
        state.invisible = !header || header->isHidden();
        return state;
    }
    return cellState();
}

QAccessible::State ItemCellAccessible::cellState() const
{
    QAccessible::State state;
    const QRect shown(view_->viewport()->mapToGlobal(QPoint(0, 0)), view_->viewport()->size());
    state.invisible = !view_->isVisible() || !shown.intersects(rect());
    const Qt::ItemFlags flags = index_.flags();
    state.disabled = !(flags & Qt::ItemIsEnabled) || !view_->isEnabled();
    state.selectable = state.focusable = (flags & Qt::ItemIsSelectable) != 0;
    state.multiSelectable = view_->selectionMode() == QAbstractItemView::MultiSelection;
    state.extSelectable = view_->selectionMode() == QAbstractItemView::ExtendedSelection;
    state.selected = isSelected();
    state.focused = view_->hasFocus() && view_->currentIndex() == QModelIndex(index_);
    return state;
}

void* ItemCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface && !isHeader())
        return static_cast<QAccessibleTableCellInterface*>(this);
    return nullptr;
}

bool ItemCellAccessible::isSelected() const
{
    return isValid() && !isHeader() && view_->selectionModel() && view_->selectionModel()->isSelected(index_);
}

int ItemCellAccessible::columnIndex() const
{
    if (isHeader())
        return headerColumn_;
    return qobject_cast<const QTreeView*>(view_.data()) ? index_.column() : 0;
}

int ItemCellAccessible::rowIndex() const
{
    return isHeader() ? -1 : index_.row();
}

}  // namespace clipforge
