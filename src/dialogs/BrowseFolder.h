#pragma once

#include <QString>

class QWidget;

namespace clipforge {

// The folder browser of both dialogs: a chosen folder, or empty text when cancelled.
QString BrowseForFolder(QWidget* owner, const QString& title);

// Adds the trailing separator a chosen folder carries in a job ("/out" becomes "/out/").
QString withTrailingSeparator(const QString& folder);

}  // namespace clipforge
