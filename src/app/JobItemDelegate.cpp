#include "app/JobItemDelegate.h"

#include "app/ProgressBox.h"
#include "core/TreeManager.h"

#include <QPainter>

namespace clipforge {

JobItemDelegate::JobItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , boxBackground_(233, 234, 238)
{
}

void JobItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != 0)
        return;
    // The model answers the state number; the picture comes from the window's image list.
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(16, 16);
    option->icon = stateIcons_ ? QIcon(stateIcons_(index.data(TTreeManager::StateRole).toInt())) : QIcon();
    option->textElideMode = Qt::ElideMiddle;
}

void JobItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != 1)
        return;
    painter->save();
    ProgressBox::paint(*painter, option.rect, boxBackground_, index.data(TTreeManager::BusyRole).toBool(),
                       index.data(TTreeManager::FrameRole).toUInt());
    painter->restore();
}

QSize JobItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), rowHeight);
}

}  // namespace clipforge
