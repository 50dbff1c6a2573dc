#pragma once

#include <QProxyStyle>

class QAction;
class QMenu;
class TMenuDraw;

namespace clipforge {

// Hands the measuring and painting of an attached menu's items to its menu painter; everything
// else, and items the painter does not know, go to the application style.
class MenuDrawStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit MenuDrawStyle(const TMenuDraw& owner);

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

private:
    bool isOwnMenu(const QWidget* widget) const;
    const QAction* measuredAction(const QStyleOption* option) const;
    int menuTabWidth() const;

    const TMenuDraw& owner_;
    mutable const QAction* lastMeasured_ = nullptr;
};

} // namespace clipforge
