#pragma once

#include <QObject>

class QWidget;

namespace clipforge {

// Whether focus marks show. As desktop toolkits do, they appear once the keyboard is used and go
// again at the next mouse press, so a window driven by the mouse looks exactly as drawn.
class KeyboardCues : public QObject {
    Q_OBJECT

public:
    static KeyboardCues& instance();
    static bool visible() { return instance().visible_; }
    void setVisible(bool visible);

    // The widget repaints whenever the marks appear or go, for as long as it lives.
    static void repaintOnChange(QWidget& widget);

signals:
    void visibilityChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyboardCues();

    bool visible_ = false;
};

}  // namespace clipforge
