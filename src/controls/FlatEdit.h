#pragma once

#include "controls/Color.h"

#include <QImage>
#include <QLineEdit>

enum TEditValueType { evDefault = 0, evtInteger = 1, evtFloat = 2 };

// A single-line edit with a flat three-ring frame instead of the sunken one. It lights up while it
// has the focus, or while the pointer is over it and no other flat edit has the focus.
class TMyCustomFlatEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMyCustomFlatEdit(QWidget* parent = nullptr);

    static constexpr int FrameWidth = 3;

    TEditValueType ValueType() const { return valueType_; }
    void setValueType(TEditValueType value);
    int MinValue() const { return minValue_; }
    void setMinValue(int value) { minValue_ = value; }
    int MaxValue() const { return maxValue_; }
    void setMaxValue(int value) { maxValue_ = value; }
    // The text as a number in the numeric modes; 0 in free-text mode and for text that is no number.
    int asInteger() const;

    enum ColorIndex { ciFocused = 0, ciBorder = 1, ciFlat = 2 };
    void SetColor(int index, TColor value);
    TColor ColorFocused() const { return colorFocused_; }
    void setColorFocused(TColor value) { SetColor(ciFocused, value); }
    TColor ColorBorder() const { return colorBorder_; }
    void setColorBorder(TColor value) { SetColor(ciBorder, value); }
    TColor ColorFlat() const { return colorFlat_; }
    void setColorFlat(TColor value) { SetColor(ciFlat, value); }
    bool ParentColor() const { return parentColor_; }
    void setParentColor(bool value);

    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor value);

    bool MouseIn() const { return mouseIn_; }
    bool isActive() const;

    // Integer mode: Up steps up within MaxValue (0: no limit), Down steps down while above MinValue.
    void stepUp();
    void stepDown();

    // The control as it paints: background and frame, off-screen.
    QImage frameImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool handleNumericKey(QKeyEvent* event);
    bool handleNumericCharacter(const QString& character);
    void copyParentColor();
    void adjustHeight();
    void applyTextColor();

    TEditValueType valueType_ = evDefault;
    int minValue_ = 0;
    int maxValue_ = 0;
    TColor colorFocused_ = clWhite;
    TColor colorBorder_ = 0x8396A0;
    TColor colorFlat_ = 0xE1EAEB;
    bool parentColor_ = true;
    TColor fontColor_ = clWindowText;
    bool mouseIn_ = false;
};

// The flat edit as forms use it; it adds no behaviour.
class TMyFlatEdit : public TMyCustomFlatEdit {
    Q_OBJECT
public:
    using TMyCustomFlatEdit::TMyCustomFlatEdit;
};
