#pragma once

#include "controls/Canvas.h"

#include <QComboBox>
#include <QImage>

#include <functional>

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// A combo box with a flat frame and a flat arrow box of its own; the toolkit's drop-down button is
// never painted. The drop-down list is as tall as its rows, at most DropDownCount of them.
class TMyFlatComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TMyFlatComboBox(QWidget* parent = nullptr);

    static constexpr int ArrowWidth = 11;

    TComboBoxStyle Style() const { return style_; }
    void setStyle(TComboBoxStyle value);
    using QComboBox::setStyle; // the widget style (QStyle*) stays reachable

    TColor Color() const { return color_; }
    void setColor(TColor value);
    enum ColorIndex { ciArrow = 0, ciArrowBackground = 1, ciBorder = 2 };
    void SetColor(int index, TColor value);
    TColor ColorArrow() const { return colorArrow_; }
    void setColorArrow(TColor value) { SetColor(ciArrow, value); }
    TColor ColorArrowBackground() const { return colorArrowBackground_; }
    void setColorArrowBackground(TColor value) { SetColor(ciArrowBackground, value); }
    TColor ColorBorder() const { return colorBorder_; }
    void setColorBorder(TColor value) { SetColor(ciBorder, value); }
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor value);

    int DropDownCount() const { return maxVisibleItems(); }
    void setDropDownCount(int value) { setMaxVisibleItems(value); }
    int ItemHeight() const { return itemHeight_; }
    void setItemHeight(int value);
    int ScrollWidth() const { return scrollWidth_; }

    bool DroppedDown() const { return droppedDown_; }
    bool Active() const { return active_; }

    // Height of one list row and of the whole drop-down list for the current items and font.
    int listRowHeight() const;
    int DropDownHeight() const;

    // The control as it paints, off-screen.
    QImage renderImage() const;

    void showPopup() override;
    void hidePopup() override;

    std::function<void(TMyFlatComboBox* sender)> OnDropDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isListStyle() const { return style_ != csDropDown && style_ != csSimple; }
    bool focusLookActive() const;
    void paintContent(clipforge::Canvas& canvas) const;
    void paintFocusLook(clipforge::Canvas& canvas) const;
    void paintFrame(clipforge::Canvas& canvas) const;
    void paintArrowBox(clipforge::Canvas& canvas) const;
    void placeEditor();
    void placePopup();
    void showCurrentRow();
    void updateActive();
    void applyListColors();

    TComboBoxStyle style_ = csDropDown;
    TColor color_ = clWindow;
    TColor colorArrow_ = clBlack;
    TColor colorArrowBackground_ = 0xC5D6D9;
    TColor colorBorder_ = 0x8396A0;
    TColor fontColor_ = clWindowText;
    int itemHeight_ = 13;
    int scrollWidth_ = 0;
    bool droppedDown_ = false;
    bool active_ = false;
};
