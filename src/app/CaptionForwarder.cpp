#include "app/CaptionForwarder.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>

namespace clipforge {

namespace {

void sendMouse(QWidget* button, QEvent::Type type)
{
    const QPointF origin(0, 0);
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, origin, origin, QPointF(button->mapToGlobal(QPoint(0, 0))), Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &event);
}

void sendEnter(QWidget* button)
{
    const QPointF origin(0, 0);
    QEnterEvent event(origin, origin, QPointF(button->mapToGlobal(QPoint(0, 0))));
    QCoreApplication::sendEvent(button, &event);
}

void sendLeave(QWidget* button)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(button, &event);
}

}  // namespace

void CaptionForwarder::forward(QLabel* label, QWidget* button)
{
    buttons_[label] = button;
    label->installEventFilter(this);
}

bool CaptionForwarder::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = buttons_.find(watched);
    if (found == buttons_.end())
        return false;
    QWidget* button = found->second;
    switch (event->type()) {
    case QEvent::Enter:
        sendEnter(button);
        return false;
    case QEvent::Leave:
        sendLeave(button);
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        sendMouse(button, QEvent::MouseButtonPress);
        return true;
    case QEvent::MouseButtonRelease:
        sendMouse(button, QEvent::MouseButtonRelease);
        return true;
    default:
        return false;
    }
}

}  // namespace clipforge
