#include "controls/AccessibleControls.h"

#include "controls/ApplicationAccessible.h"

#include "controls/GradientProgressBar.h"
#include "controls/GradientProgressBarAccessible.h"
#include "controls/ImageButton.h"
#include "controls/ImageButtonAccessible.h"
#include "controls/CaptionedButtonAccessible.h"
#include "controls/ComboBoxAccessible.h"
#include "controls/ContainerAccessible.h"
#include "controls/ItemViewAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>

namespace clipforge {

namespace {

QAccessibleInterface* accessibleControl(const QString& className, QObject* object)
{
    if (object && object == qApp)
        return new ApplicationAccessible;
    if (!object || !object->isWidgetType())
        return nullptr;
    if (QAbstractItemView* rows = rowView(object))
        return new ItemViewAccessible(rows);
    if (className == QLatin1String("TImageButton"))
        return new ImageButtonAccessible(static_cast<TImageButton*>(object));
    if (className == QLatin1String("TMyButtonEx"))
        return new CaptionedButtonAccessible<TMyButtonEx>(static_cast<TMyButtonEx*>(object));
    if (className == QLatin1String("TPngSpeedButton"))
        return new CaptionedButtonAccessible<TPngSpeedButton>(static_cast<TPngSpeedButton*>(object));
    if (className == QLatin1String("TMyFlatComboBox"))
        return new ComboBoxAccessible(static_cast<QComboBox*>(object));
    if (className == QLatin1String("TGradientProgressBar"))
        return new GradientProgressBarAccessible(static_cast<TGradientProgressBar*>(object));
    // A window of no class of its own, as the main window is, would otherwise read as a filler.
    if (className == QLatin1String("QWidget") && static_cast<QWidget*>(object)->isWindow())
        return new ContainerAccessible(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1String("TLinePanel"))
        return new ContainerAccessible(static_cast<QWidget*>(object), QAccessible::Client);
    if (className == QLatin1String("clipforge::LinkLabel"))
        return new CaptionedButtonAccessible<LinkLabel>(static_cast<LinkLabel*>(object), QAccessible::Link);
    return nullptr;
}

}  // namespace

void installAccessibleControls()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleControl);
        return true;
    }();
    (void)installed;
}

}  // namespace clipforge
