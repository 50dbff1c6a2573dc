#include "controls/ButtonKeys.h"

#include "controls/AccessibleControls.h"
#include "controls/KeyboardCues.h"

#include <QKeyEvent>
#include <QWidget>

namespace clipforge {

namespace {

class ButtonKeys : public QObject {
public:
    ButtonKeys(QWidget& button, std::function<void()> click)
        : QObject(&button)
        , click_(std::move(click))
    {
        button.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !static_cast<QWidget*>(watched)->isEnabled()
            || !pressesButton(*static_cast<QKeyEvent*>(event)))
            return QObject::eventFilter(watched, event);
        click_();
        return true;
    }

private:
    std::function<void()> click_;
};

}  // namespace

bool pressesButton(const QKeyEvent& key)
{
    if (key.isAutoRepeat() || (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    switch (key.key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: return true;
    default: return false;
    }
}

void makeKeyboardButton(QWidget& button, std::function<void()> click)
{
    installAccessibleControls();
    KeyboardCues::repaintOnChange(button);
    new ButtonKeys(button, std::move(click));
}

}  // namespace clipforge
