#include "controls/KeyboardCues.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace clipforge {

KeyboardCues::KeyboardCues()
{
    qApp->installEventFilter(this);
}

KeyboardCues& KeyboardCues::instance()
{
    // Owned by the application, so it goes with it and a later application gets a fresh one.
    static QPointer<KeyboardCues> cues;
    if (!cues) {
        cues = new KeyboardCues;
        cues->setParent(qApp);
    }
    return *cues;
}

void KeyboardCues::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    emit visibilityChanged();
}

void KeyboardCues::repaintOnChange(QWidget& widget)
{
    connect(&instance(), &KeyboardCues::visibilityChanged, &widget, [&widget] {
        if (widget.hasFocus())
            widget.update();
    });
}

bool KeyboardCues::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    // An accelerator is handled before any key press is delivered; only its override request is seen.
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: setVisible(true); break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: setVisible(false); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace clipforge
