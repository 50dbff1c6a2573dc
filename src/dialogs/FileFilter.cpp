#include "dialogs/FileFilter.h"

#include <QRegularExpression>
#include <QStringList>

namespace clipforge {

namespace {

QString withoutTrailingPatterns(const QString& description)
{
    static const QRegularExpression trailing(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString text = description;
    text.remove(trailing);
    return text.trimmed();
}

QString oneFilter(const QString& description, const QString& patterns)
{
    const QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QStringList cleaned;
    for (const QString& part : parts) {
        const QString pattern = part.trimmed();
        cleaned << pattern;
        // Names match case-sensitively here, and cameras write CLIP.MOV as often as clip.mov.
        if (pattern.toUpper() != pattern)
            cleaned << pattern.toUpper();
    }
    return QStringLiteral("%1 (%2)").arg(withoutTrailingPatterns(description), cleaned.join(QLatin1Char(' ')));
}

}  // namespace

QString toQtFilter(const QString& filter)
{
    const QStringList fields = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2)
        filters << oneFilter(fields[i], fields[i + 1]);
    return filters.join(QStringLiteral(";;"));
}

}  // namespace clipforge
