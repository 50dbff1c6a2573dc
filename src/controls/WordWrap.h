#pragma once

#include <QString>
#include <QStringList>

class QFontMetrics;

namespace clipforge {

// Breaks text into lines of at most maxWidth pixels, between words only: a line ends at a space
// or a line break, never inside a word, so paths and names with "/" or "-" stay whole. A word
// wider than maxWidth keeps a line of its own and makes that line wider than asked.
QStringList wrapAtSpaces(const QString& text, int maxWidth, const QFontMetrics& metrics);

} // namespace clipforge
