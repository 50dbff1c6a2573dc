#pragma once

#include "controls/Color.h"

#include <QFont>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

// What the application knows about the hint it is about to show; the show-hint handler may change it.
struct THintInfo {
    QPointer<QWidget> HintControl;
    QPoint CursorPos;      // in HintControl's coordinates
    QRect CursorRect;      // the hint stays up while the pointer stays inside, HintControl's coordinates
    int HideTimeout = 0;   // milliseconds a shown hint stays up
};

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// The look of every hint of the application. Creating one replaces the application's tooltips
// with the flat hint window; the replacement goes away with the last of these components.
class TMyFlatHint : public QObject {
    Q_OBJECT
public:
    using TShowHintEvent = std::function<void(QString& hintText, bool& canShow, THintInfo& hintInfo)>;

    explicit TMyFlatHint(QObject* owner = nullptr);
    ~TMyFlatHint() override;

    enum ColorIndex { ciBackground = 0, ciBorder = 1, ciArrowBackground = 2, ciArrow = 3 };

    // A change only shows with the next hint.
    void SetColor(int index, TColor value);
    TColor GetColor(int index) const;

    TColor ColorBackground() const { return colors_[ciBackground]; }
    void setColorBackground(TColor value) { SetColor(ciBackground, value); }
    TColor ColorBorder() const { return colors_[ciBorder]; }
    void setColorBorder(TColor value) { SetColor(ciBorder, value); }
    TColor ColorArrowBackground() const { return colors_[ciArrowBackground]; }
    void setColorArrowBackground(TColor value) { SetColor(ciArrowBackground, value); }
    TColor ColorArrow() const { return colors_[ciArrow]; }
    void setColorArrow(TColor value) { SetColor(ciArrow, value); }

    int MaxHintWidth() const { return maxHintWidth_; }
    void setMaxHintWidth(int value) { maxHintWidth_ = value; }

    const QFont& Font() const { return font_; }
    void setFont(const QFont& font) { font_ = font; }
    TColor FontColor() const { return fontColor_; }
    void setFontColor(TColor value) { fontColor_ = value; }

    TBiDiMode BidiMode() const { return bidiMode_; }
    void setBidiMode(TBiDiMode value) { bidiMode_ = value; }

    TShowHintEvent OnShowHint;

private:
    TColor colors_[4] = {clWhite, clBlack, 0x53D2FF, clBlack};
    int maxHintWidth_ = 200;
    QFont font_;
    TColor fontColor_ = clWindowText;
    TBiDiMode bidiMode_ = bdLeftToRight;
};
