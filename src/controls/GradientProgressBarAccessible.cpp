#include "controls/GradientProgressBarAccessible.h"

#include "controls/GradientProgressBar.h"

namespace clipforge {

GradientProgressBarAccessible::GradientProgressBarAccessible(TGradientProgressBar* bar)
    : QAccessibleWidget(bar, QAccessible::ProgressBar)
{
}

TGradientProgressBar& GradientProgressBarAccessible::bar() const
{
    return *static_cast<TGradientProgressBar*>(widget());
}

void* GradientProgressBarAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString GradientProgressBarAccessible::text(QAccessible::Text kind) const
{
    if (kind != QAccessible::Value)
        return QAccessibleWidget::text(kind);
    const qint64 span = qint64(bar().Max()) - bar().Min();
    const qint64 percent = span > 0 ? (qint64(bar().Position()) - bar().Min()) * 100 / span : 0;
    return QStringLiteral("%1%").arg(percent);
}

QVariant GradientProgressBarAccessible::currentValue() const
{
    return bar().Position();
}

// The bar shows the program's progress; nobody else moves it.
void GradientProgressBarAccessible::setCurrentValue(const QVariant&)
{
}

QVariant GradientProgressBarAccessible::maximumValue() const
{
    return bar().Max();
}

QVariant GradientProgressBarAccessible::minimumValue() const
{
    return bar().Min();
}

QVariant GradientProgressBarAccessible::minimumStepSize() const
{
    return 0;
}

}  // namespace clipforge
