#include "app/WebPages.h"

#include "core/LocalText.h"
#include "core/Paths.h"
#include "dialogs/DialogAnchor.h"
#include "dialogs/DialogService.h"

#include <QString>

#ifndef CLIPFORGE_SUPPORT_URL
#define CLIPFORGE_SUPPORT_URL ""
#endif
#ifndef CLIPFORGE_VERSION
#define CLIPFORGE_VERSION ""
#endif
#ifndef CLIPFORGE_PRODUCT_URL
#define CLIPFORGE_PRODUCT_URL ""
#endif

namespace clipforge {

namespace {

QUrl guide()
{
    return QUrl::fromLocalFile(guidePath());
}

QUrl configuredOr(const char* configured, const QUrl& fallback)
{
    const QString address = QString::fromUtf8(configured);
    return address.isEmpty() ? fallback : QUrl(address);
}

}  // namespace

QString guidePath()
{
    return widen(programFolder()) + QStringLiteral("help/index.html");
}

bool openOnDesktop(const QUrl& address, const QString& hint)
{
    DialogService& dialogs = DialogService::instance();
    if (dialogs.openUrl(address))
        return true;
    const QString shown = address.isLocalFile() ? address.toLocalFile() : address.toDisplayString();
    dialogs.message(mainWindow(),
                    QStringLiteral("Could not open %1: no program to open it with is installed (the package "
                                   "xdg-utils provides one).%2")
                        .arg(shown, hint),
                    QMessageBox::Information);
    return false;
}

void openPage(const QUrl& address)
{
    openOnDesktop(address, QStringLiteral("\n\nThe user guide is at ") + guidePath());
}

QUrl supportPageUrl()
{
    return configuredOr(CLIPFORGE_SUPPORT_URL, guide());
}

// Without a product page, the guide's section on versions and updates.
QUrl productPageUrl()
{
    QUrl section = guide();
    section.setFragment(QStringLiteral("updates"));
    return configuredOr(CLIPFORGE_PRODUCT_URL, section);
}

QString programVersion()
{
    return QStringLiteral(CLIPFORGE_VERSION);
}

}  // namespace clipforge
