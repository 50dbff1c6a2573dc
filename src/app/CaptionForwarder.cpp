#include "app/CaptionForwarder.h"

#include "controls/ImageButton.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>

namespace clipforge {

namespace {

// The button's middle: inside its picture whether it is drawn pressed or not. The corner
// would do for a button whose pressed picture stays put, but one that shifts its pressed
// picture (the list tabs) would see the release outside and never click.
QPointF hitPoint(const QWidget* button)
{
    return QPointF(button->rect().center());
}

void sendMouse(QWidget* button, QEvent::Type type)
{
    const QPointF origin = hitPoint(button);
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, origin, origin, QPointF(button->mapToGlobal(origin.toPoint())), Qt::LeftButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(button, &event);
}

void sendEnter(QWidget* button)
{
    const QPointF origin = hitPoint(button);
    QEnterEvent event(origin, origin, QPointF(button->mapToGlobal(origin.toPoint())));
    QCoreApplication::sendEvent(button, &event);
}

void sendLeave(QWidget* button)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(button, &event);
}

}  // namespace

void CaptionForwarder::forward(QLabel* label, TImageButton* button)
{
    buttons_[label] = button;
    label->installEventFilter(this);
    // The label names the button for assistive technology and registers the caption's Alt+letter;
    // its own answer to that letter would only focus the button.
    label->setBuddy(button);
}

bool CaptionForwarder::eventFilter(QObject* watched, QEvent* event)
{
    const auto found = buttons_.find(watched);
    if (found == buttons_.end())
        return false;
    TImageButton* button = found->second;
    switch (event->type()) {
    case QEvent::Shortcut:
        button->Click();
        return true;
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
