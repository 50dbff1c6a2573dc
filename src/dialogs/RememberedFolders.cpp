#include "dialogs/RememberedFolders.h"

#include "dialogs/DialogService.h"

namespace clipforge::remembered {

QStringList openFileNames(UserSettings::FileDialog dialog, QWidget* owner, const QString& filter)
{
    const QStringList names =
        DialogService::instance().openFileNames(owner, filter, UserSettings::lastFolder(dialog));
    if (!names.isEmpty())
        UserSettings::rememberFolderOf(dialog, names.front());
    return names;
}

QString openFileName(UserSettings::FileDialog dialog, QWidget* owner, const QString& filter)
{
    const QString name = DialogService::instance().openFileName(owner, filter, UserSettings::lastFolder(dialog));
    UserSettings::rememberFolderOf(dialog, name);
    return name;
}

QString saveFileName(UserSettings::FileDialog dialog, QWidget* owner, const QString& filter)
{
    const QString name = DialogService::instance().saveFileName(owner, filter, UserSettings::lastFolder(dialog));
    UserSettings::rememberFolderOf(dialog, name);
    return name;
}

}  // namespace clipforge::remembered
