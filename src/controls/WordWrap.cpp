#include "controls/WordWrap.h"

#include <QFontMetrics>

namespace clipforge {

namespace {

void wrapParagraph(const QString& paragraph, int maxWidth, const QFontMetrics& metrics, QStringList& lines)
{
    QString line;
    for (const QString& word : paragraph.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > maxWidth) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    lines << line;
}

} // namespace

QStringList wrapAtSpaces(const QString& text, int maxWidth, const QFontMetrics& metrics)
{
    QStringList lines;
    for (const QString& paragraph : text.split(u'\n'))
        wrapParagraph(paragraph, maxWidth, metrics, lines);
    return lines;
}

} // namespace clipforge
