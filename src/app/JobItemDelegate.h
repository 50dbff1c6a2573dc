#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

#include <functional>

namespace clipforge {

// Paints one job row: the state picture and file name in column 0, the progress box in column 1.
class JobItemDelegate : public QStyledItemDelegate {
public:
    static constexpr int rowHeight = 25;
    using StateIcons = std::function<QPixmap(int state)>;

    explicit JobItemDelegate(QObject* parent = nullptr);

    void setStateIcons(StateIcons icons) { stateIcons_ = std::move(icons); }
    void setBoxBackground(const QColor& color) { boxBackground_ = color; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    StateIcons stateIcons_;
    QColor boxBackground_;
};

}  // namespace clipforge
