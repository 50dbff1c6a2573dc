#include "app/WebPages.h"

#include "core/Paths.h"

#include <QString>

#ifndef CLIPFORGE_SUPPORT_URL
#define CLIPFORGE_SUPPORT_URL ""
#endif
#ifndef CLIPFORGE_PRODUCT_URL
#define CLIPFORGE_PRODUCT_URL ""
#endif

namespace clipforge {

namespace {

QUrl pageOrGuide(const char* configured)
{
    const QString address = QString::fromUtf8(configured);
    if (!address.isEmpty())
        return QUrl(address);
    return QUrl::fromLocalFile(QString::fromLocal8Bit(programFolder().c_str()) + QStringLiteral("help/index.html"));
}

}  // namespace

QUrl supportPageUrl()
{
    return pageOrGuide(CLIPFORGE_SUPPORT_URL);
}

QUrl productPageUrl()
{
    return pageOrGuide(CLIPFORGE_PRODUCT_URL);
}

}  // namespace clipforge
