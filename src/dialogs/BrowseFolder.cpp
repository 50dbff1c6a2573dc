#include "dialogs/BrowseFolder.h"

#include "dialogs/DialogService.h"
#include "dialogs/UserSettings.h"

namespace clipforge {

QString BrowseForFolder(QWidget* owner, const QString& title, const QString& initialFolder)
{
    using Dialog = UserSettings::FileDialog;
    const QString start = initialFolder.isEmpty() ? UserSettings::lastFolder(Dialog::SaveDirectory) : initialFolder;
    const QString folder = DialogService::instance().existingDirectory(owner, title, start);
    UserSettings::rememberFolder(Dialog::SaveDirectory, folder);
    return folder;
}

}  // namespace clipforge
