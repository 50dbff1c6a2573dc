#include "app/WebPages.h"

#include "core/Paths.h"

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
    return QUrl::fromLocalFile(QString::fromLocal8Bit(programFolder().c_str()) + QStringLiteral("help/index.html"));
}

QUrl configuredOr(const char* configured, const QUrl& fallback)
{
    const QString address = QString::fromUtf8(configured);
    return address.isEmpty() ? fallback : QUrl(address);
}

}  // namespace

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
