#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;

namespace clipforge {

// The names typed into a file dialog's name field, one name or several as "a" "b", made absolute
// against the dialog's folder.
QStringList typedFileNames(const QString& text, const QString& folder);

// The files an open dialog for several files was confirmed with. The toolkit's dialog forgets
// the typed names as soon as any listed file matches one of them, so a typed name that the
// filter does not list would be dropped: the filter narrows what is listed, not what may be
// typed. Typed names that exist come first, in typed order, then any other selected file.
QStringList confirmedFiles(const QFileDialog& dialog);

}  // namespace clipforge
