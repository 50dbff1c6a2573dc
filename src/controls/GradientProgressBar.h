#pragma once

#include "controls/Canvas.h"
#include "controls/Color.h"

#include <QImage>
#include <QWidget>

enum TColorScheme {
    csCustom, csDesert, csGrass, csSilver, csSky, csRose, csSun,
    csHackers, csNight, csVelvet, csMetal, csViolet, csToxic,
};

enum TProgressBarOrientation { pbHorizontal, pbVertical };

// A position between Min and Max shown as a two-layer gradient bar inside a one-pixel border.
// Colours are used as plain RGB: system colours are not resolved.
class TGradientProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)

public:
    explicit TGradientProgressBar(QWidget* parent = nullptr);

    TColor ColorBorder() const { return colorBorder_; }
    void SetColorBorder(TColor color) { setColor(colorBorder_, color); }
    TColor BackColorFace() const { return backColorFace_; }
    void SetBackColorFace(TColor color) { setColor(backColorFace_, color); }
    TColor BackColorGrad() const { return backColorGrad_; }
    void SetBackColorGrad(TColor color) { setColor(backColorGrad_, color); }
    TColor ForeColorFace() const { return foreColorFace_; }
    void SetForeColorFace(TColor color) { setColor(foreColorFace_, color); }
    TColor ForeColorGrad() const { return foreColorGrad_; }
    void SetForeColorGrad(TColor color) { setColor(foreColorGrad_, color); }
    TColorScheme ColorScheme() const { return colorScheme_; }
    void SetColorScheme(TColorScheme scheme);

    // Max below Min, Min above Max and Position below Min are ignored. The four setters below
    // repaint at once, so the bar moves even while the caller keeps the event loop busy.
    int Max() const { return max_; }
    void SetMax(int value);
    int Min() const { return min_; }
    void SetMin(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int Step() const { return step_; }
    void SetStep(int value);
    TProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation orientation);

    // The bar as painted at the current size.
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setColor(TColor& field, TColor color);
    void paintHorizontal(clipforge::Canvas& canvas, int w, int h) const;
    void paintVertical(clipforge::Canvas& canvas, int w, int h) const;
    double filledShare(int span) const;

    TColor colorBorder_ = 0;
    TColor backColorFace_ = 0;
    TColor backColorGrad_ = 0;
    TColor foreColorFace_ = 0;
    TColor foreColorGrad_ = 0;
    TColorScheme colorScheme_ = csCustom;
    int max_ = 100;
    int min_ = 0;
    int position_ = 0;
    int step_ = 10;
    TProgressBarOrientation orientation_ = pbHorizontal;
};

namespace clipforge {

// One line per step of the span from start to end colour; the line coordinate runs from 0 and the
// far end is the sum of the two rectangle fields, as the bar's painting relies on.
void drawLineGradient(Canvas& canvas, const Rect& rect, TColor start, TColor end, GradientDirection direction);

struct SchemeColors {
    TColor border, backFace, backGrad, foreFace, foreGrad;
};
SchemeColors schemeColors(TColorScheme scheme);

} // namespace clipforge
