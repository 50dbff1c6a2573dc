#include "dialogs/UserSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace clipforge {

namespace {

const char* keyOf(UserSettings::FileDialog dialog)
{
    switch (dialog) {
    case UserSettings::FileDialog::AddFiles:
        return "folders/addFiles";
    case UserSettings::FileDialog::ImportList:
        return "folders/importList";
    case UserSettings::FileDialog::ExportList:
        return "folders/exportList";
    case UserSettings::FileDialog::SaveDirectory:
        return "folders/saveDirectory";
    }
    return "folders/other";
}

const char* const profilePositionKey = "addFiles/profilePosition";
const char* const profileNameKey = "addFiles/profileName";
const char* const outputFolderKey = "addFiles/outputFolder";
const char* const outputCheckKey = "convert/check";
const char* const windowPlaceKey = "mainWindow/place";
const char* const windowMaximisedKey = "mainWindow/maximised";

// Opened afresh for each value: the file is small, and another running window's choices
// are then seen too.
QSettings settings()
{
    return QSettings(UserSettings::filePath(), QSettings::IniFormat);
}

QString existingFolder(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void store(const char* key, const QVariant& value)
{
    QSettings file = settings();
    file.setValue(QString::fromLatin1(key), value);
    file.sync();
}

}  // namespace

QString UserSettings::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/clipforge/clipforge.conf");
}

QString UserSettings::lastFolder(FileDialog dialog)
{
    return existingFolder(settings().value(QString::fromLatin1(keyOf(dialog))).toString());
}

void UserSettings::rememberFolder(FileDialog dialog, const QString& folder)
{
    if (!folder.isEmpty())
        store(keyOf(dialog), folder);
}

void UserSettings::rememberFolderOf(FileDialog dialog, const QString& path)
{
    if (!path.isEmpty())
        rememberFolder(dialog, QFileInfo(path).absolutePath());
}

int UserSettings::lastProfile(const QStringList& names)
{
    const QSettings file = settings();
    bool isNumber = false;
    const int position = file.value(QString::fromLatin1(profilePositionKey)).toInt(&isNumber);
    const QString name = file.value(QString::fromLatin1(profileNameKey)).toString();
    if (isNumber && position >= 0 && position < names.size() && names[position] == name)
        return position;
    return name.isEmpty() ? -1 : static_cast<int>(names.indexOf(name));
}

void UserSettings::rememberProfile(int position, const QString& name)
{
    if (position < 0)
        return;
    QSettings file = settings();
    file.setValue(QString::fromLatin1(profilePositionKey), position);
    file.setValue(QString::fromLatin1(profileNameKey), name);
    file.sync();
}

QString UserSettings::lastOutputFolder()
{
    return existingFolder(settings().value(QString::fromLatin1(outputFolderKey)).toString());
}

void UserSettings::rememberOutputFolder(const QString& folder)
{
    store(outputFolderKey, folder);
}

QString UserSettings::outputCheck()
{
    return settings().value(QString::fromLatin1(outputCheckKey), QStringLiteral("streams")).toString();
}

std::optional<WindowPlace> UserSettings::mainWindowPlace()
{
    const QSettings file = settings();
    const QVariant place = file.value(QString::fromLatin1(windowPlaceKey));
    if (!place.canConvert<QRect>() || !place.toRect().isValid())
        return std::nullopt;
    return WindowPlace {place.toRect(), file.value(QString::fromLatin1(windowMaximisedKey)).toBool()};
}

void UserSettings::rememberMainWindowPlace(const WindowPlace& place)
{
    QSettings file = settings();
    file.setValue(QString::fromLatin1(windowPlaceKey), place.normal);
    file.setValue(QString::fromLatin1(windowMaximisedKey), place.maximised);
    file.sync();
}

}  // namespace clipforge
