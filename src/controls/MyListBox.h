#pragma once

#include "controls/Canvas.h"
#include "controls/PngImageList.h"

#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPointer>

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

// A list box whose rows show one picture from an image list, centred vertically, with the row
// text beside it; the selected or focused row is light blue with blue text whatever the system
// colours are. Rows never scroll sideways.
class TMyListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TMyListBox(QWidget* parent = nullptr);

    static constexpr TColor SelectionColor = 0xFFB2B5;
    static constexpr TColor SelectionTextColor = 0xFF0000;

    TPngImageList* ImageList() const { return imageList_; }
    void setImageList(TPngImageList* value);
    int ImageIndex() const { return imageIndex_; }
    void setImageIndex(int value);
    // Kept for the forms; it opens nothing.
    QMenu* PopupMenu() const { return popupMenu_; }
    void setPopupMenu(QMenu* value) { popupMenu_ = value; }
    TListBoxStyle Style() const { return style_; }
    void setStyle(TListBoxStyle value) { style_ = value; }
    using QListWidget::setStyle; // the widget style (QStyle*) stays reachable

    int ItemHeight() const { return itemHeight_; }
    void setItemHeight(int value);
    TColor Color() const { return color_; }
    void setColor(TColor value);
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor value);

    enum ItemState { isNormal = 0, isSelected = 1, isFocused = 2 };
    // Paints row index into rect (row coordinates on canvas), as the list shows it.
    void DrawItem(clipforge::Canvas& canvas, int index, clipforge::Rect rect, int state) const;
    // One row off-screen, its width the control's.
    QImage renderItem(int index, int state) const;

private:
    QPointer<TPngImageList> imageList_;
    int imageIndex_ = 0;
    QPointer<QMenu> popupMenu_;
    TListBoxStyle style_ = lbOwnerDrawVariable;
    int itemHeight_ = 13;
    TColor color_ = clWindow;
    TColor fontColor_ = clWindowText;
};
