#include "controls/AccessibleButton.h"

#include "controls/MyButtonEx.h"

#include <QKeySequence>
#include <QWidget>

namespace clipforge {

QString withoutAccelerator(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

AccessibleButton::AccessibleButton(QWidget* button, QAccessible::Role role)
    : QAccessibleWidget(button, role)
{
}

QString AccessibleButton::text(QAccessible::Text kind) const
{
    const QString shown = caption();
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty() && !shown.isEmpty())
        return withoutAccelerator(shown);
    if (kind == QAccessible::Accelerator && !acceleratorOf(shown).isNull())
        return QKeySequence(Qt::ALT | QKeySequence(QString(acceleratorOf(shown).toUpper()))[0].key())
            .toString(QKeySequence::NativeText);
    return QAccessibleWidget::text(kind);
}

QAccessible::State AccessibleButton::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (!clickable())
        state.disabled = true;
    state.pressed = pressed();
    return state;
}

QStringList AccessibleButton::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (clickable())
        names.prepend(pressAction());
    return names;
}

// Queued, as a click by the mouse would be: the press may open a modal dialog, and the
// assistive technology that asked must have its answer first.
void AccessibleButton::doAction(const QString& action)
{
    if (action != pressAction()) {
        QAccessibleWidget::doAction(action);
        return;
    }
    if (clickable())
        QMetaObject::invokeMethod(widget(), [this] { click(); }, Qt::QueuedConnection);
}

// The accelerator presses the button; it never merely focuses it.
QStringList AccessibleButton::keyBindingsForAction(const QString& action) const
{
    const QString accelerator = text(QAccessible::Accelerator);
    if (action != pressAction() || accelerator.isEmpty())
        return {};
    return {accelerator};
}

}  // namespace clipforge
