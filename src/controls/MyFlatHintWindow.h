#pragma once

#include "controls/Canvas.h"
#include "controls/MyFlatHint.h"

#include <QImage>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>


// Where a hint of a given size opens for a pointer: away from the nearest screen corner.
struct THintPlacement {
    int ArrowCorner = 2;      // 0 top-right, 1 top-left, 2 bottom-right, 3 bottom-left quadrant
    clipforge::Rect Bounds;   // screen coordinates, right and bottom exclusive
};

// The flat pop-up that shows one hint: a framed text area with a coloured strip and an arrow
// pointing at the pointer's corner. It never takes the focus and lets the mouse through.
class TMyFlatHintWindow : public QWidget {
    Q_OBJECT
public:
    TMyFlatHintWindow();

    static constexpr int StripWidth = 14;
    static constexpr int MarginWidth = 22;   // strip, frame and text margins together
    static constexpr int MarginHeight = 6;

    // Shows text for a pointer at the given screen position; the rectangle's position is not used.
    // Without a settings component nothing is shown.
    void ActivateHint(const QRect& rect, const QString& text, QPoint pointer);
    void ActivateHint(const QRect& rect, const QString& text);

    // Pure geometry, kept apart so the placement rules can be checked for any screen.
    static QSize measureHint(const QString& text, const TMyFlatHint& settings);
    static THintPlacement placeHint(QSize size, QPoint pointer, QSize screen);
    static QImage renderHint(QSize size, int arrowCorner, const QString& text, const TMyFlatHint& settings);

    // The pop-up as last painted off-screen.
    const QImage& image() const { return image_; }
    TMyFlatHint* Settings() const { return settings_; }
    int ArrowCorner() const { return arrowCorner_; }
    QPoint ArrowPoint() const { return arrowPoint_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static QPoint arrowPointFor(int arrowCorner, const clipforge::Rect& strip);
    static void paintArrow(clipforge::Canvas& canvas, int arrowCorner, QPoint tip, TColor color);

    QPointer<TMyFlatHint> settings_;
    int arrowCorner_ = 2;
    QPoint arrowPoint_;
    QImage image_;
};
