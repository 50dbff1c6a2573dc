#include "dialogs/BrowseFolder.h"

#include "dialogs/DialogService.h"

namespace clipforge {

QString BrowseForFolder(QWidget* owner, const QString& title)
{
    return DialogService::instance().existingDirectory(owner, title);
}

QString withTrailingSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

}  // namespace clipforge
