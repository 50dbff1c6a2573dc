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

QString GradientProgressBarAccessible::text(QAccessible::Text kind) const
{
    if (kind != QAccessible::Value && kind != QAccessible::Description)
        return QAccessibleWidget::text(kind);
    // A description of the bar's own (how long is left) says more than the percentage.
    if (kind == QAccessible::Description && !bar().accessibleDescription().isEmpty())
        return bar().accessibleDescription();
    const qint64 span = qint64(bar().Max()) - bar().Min();
    const qint64 percent = span > 0 ? (qint64(bar().Position()) - bar().Min()) * 100 / span : 0;
    return QStringLiteral("%1%").arg(percent);
}

}  // namespace clipforge
