#include "dialogs/KeyPreview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace clipforge {

KeyPreview::KeyPreview(QWidget& form, Handler handler)
    : QObject(&form)
    , form_(form)
    , handler_(std::move(handler))
{
    qApp->installEventFilter(this);
}

// A drop-down list is a separate window, but its parent chain still leads to the form.
bool KeyPreview::belongsToForm(QObject* receiver) const
{
    if (!receiver->isWidgetType())
        return false;
    for (const QWidget* widget = static_cast<QWidget*>(receiver); widget; widget = widget->parentWidget())
        if (widget == &form_)
            return true;
    return false;
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && form_.isVisible() && belongsToForm(watched))
        return handler_(*static_cast<QWidget*>(watched), *static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

QChar altLetter(const QKeyEvent& key)
{
    if (!(key.modifiers() & Qt::AltModifier))
        return {};
    const int code = key.key();
    if (code >= Qt::Key_A && code <= Qt::Key_Z)
        return QChar(u'A' + (code - Qt::Key_A));
    if (code >= Qt::Key_0 && code <= Qt::Key_9)
        return QChar(u'0' + (code - Qt::Key_0));
    return {};
}

}  // namespace clipforge
