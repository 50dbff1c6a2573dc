#include "controls/MyListBox.h"

#include "controls/AccessibleControls.h"

#include "controls/PngImageList.h"

#include <QPainter>
#include <QStyledItemDelegate>

using clipforge::Canvas;
using clipforge::Rect;

namespace {

class ListBoxRowDelegate : public QStyledItemDelegate {
public:
    explicit ListBoxRowDelegate(TMyListBox* list)
        : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(list_->viewport()->width(), list_->ItemHeight());
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        int state = TMyListBox::isNormal;
        if (option.state & QStyle::State_Selected)
            state |= TMyListBox::isSelected;
        if (option.state & QStyle::State_HasFocus)
            state |= TMyListBox::isFocused;
        const QImage row = list_->renderItem(index.row(), state);
        painter->drawImage(option.rect.topLeft(), row, QRect(0, 0, option.rect.width(), option.rect.height()));
    }

private:
    TMyListBox* list_;
};

} // namespace

TMyListBox::TMyListBox(QWidget* parent)
    : QListWidget(parent)
{
    clipforge::installAccessibleControls();
    setItemDelegate(new ListBoxRowDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setColor(clWindow);
}

void TMyListBox::setImageList(TPngImageList* value)
{
    imageList_ = value;
    viewport()->update();
}

void TMyListBox::setImageIndex(int value)
{
    imageIndex_ = value;
    viewport()->update();
}

void TMyListBox::setItemHeight(int value)
{
    if (itemHeight_ == value || value <= 0)
        return;
    itemHeight_ = value;
    doItemsLayout();
}

void TMyListBox::setColor(TColor value)
{
    color_ = value;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, clipforge::colorToQColor(value));
    setPalette(palette);
    viewport()->update();
}

void TMyListBox::setFontColor(TColor value)
{
    fontColor_ = value;
    viewport()->update();
}

void TMyListBox::DrawItem(Canvas& canvas, int index, Rect r, int state) const
{
    canvas.setFont(font());
    const bool selected = state & isSelected;
    canvas.setBrushColor(selected ? clHighlight : color_);
    canvas.setFontColor(selected ? clHighlightText : fontColor_);
    const QListWidgetItem* row = item(index);
    if (row == nullptr) {
        canvas.fillRect(r);
        return;
    }
    const QString text = row->text();
    if (canvas.textWidth(text) >= width())
        r.right = r.left + width();
    canvas.fillRect(r);
    if (state & (isSelected | isFocused)) {
        canvas.setPenColor(SelectionColor);
        canvas.setBrushColor(SelectionColor);
        canvas.rectangle(r);
        canvas.setFontColor(SelectionTextColor);
    }
    int imageWidth = 0;
    if (imageList_) {
        imageWidth = imageList_->Width();
        imageList_->Draw(canvas, r.left + 4, r.top + (itemHeight_ - imageList_->Height()) / 2, imageIndex_, true);
    }
    canvas.textOut(r.left + imageWidth + 8, r.top + (itemHeight_ - canvas.textHeight(text)) / 2, text);
}

QImage TMyListBox::renderItem(int index, int state) const
{
    const QRect rowRect = visualItemRect(item(index));
    const int rowWidth = std::max(rowRect.width(), viewport()->width());
    QImage image = clipforge::makeBitmap(rowWidth, itemHeight_, color_);
    Canvas canvas(image);
    DrawItem(canvas, index, {0, 0, rowWidth, itemHeight_}, state);
    return image;
}
