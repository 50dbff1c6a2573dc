#pragma once

#include <QString>

class QWidget;

namespace clipforge {

// The folder browser of both dialogs: a chosen folder, or empty text when cancelled. It opens
// at initialFolder, or where a folder was last chosen when that is empty, and remembers the
// folder chosen.
QString BrowseForFolder(QWidget* owner, const QString& title, const QString& initialFolder = QString());

}  // namespace clipforge
