#include "dialogs/TypedFileNames.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace clipforge {

QStringList typedFileNames(const QString& text, const QString& folder)
{
    QStringList names;
    if (!text.contains(u'"')) {
        if (!text.trimmed().isEmpty())
            names << text;
    } else {
        // Quotes enclose each name; what lies between two names is only a separator.
        const QStringList parts = text.split(u'"');
        for (qsizetype i = 1; i < parts.size(); i += 2)
            if (!parts[i].isEmpty())
                names << parts[i];
    }
    const QDir base(folder);
    for (QString& name : names)
        name = QDir::cleanPath(base.absoluteFilePath(name));
    return names;
}

QStringList confirmedFiles(const QFileDialog& dialog)
{
    QStringList files;
    // Only the toolkit's own dialog has a name field to read; a native one answers for itself.
    if (const auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        const QString folder = dialog.directory().absolutePath();
        for (const QString& name : typedFileNames(field->text(), folder))
            if (QFileInfo(name).isFile() && !files.contains(name))
                files << name;
    }
    for (const QString& selected : dialog.selectedFiles())
        if (!files.contains(selected))
            files << selected;
    return files;
}

}  // namespace clipforge
