#include "dialogs/UserSettings.h"

#include "core/DisplayText.h"
#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/Paths.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <cstdio>

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
const char* const jobsAtOnceKey = "convert/jobsAtOnce";
const char* const windowPlaceKey = "mainWindow/place";
const char* const windowMaximisedKey = "mainWindow/maximised";

// Opened afresh for each value: the file is small, and another running window's choices
// are then seen too.
QSettings settings()
{
    return QSettings(UserSettings::filePath(), QSettings::IniFormat);
}

// A settings file that is not a regular file (a FIFO would block the window for good, a device
// would be fed our settings) is neither read nor written; the user is told once. A link is
// followed to a regular file, as users keep configuration files as links.
bool settingsUsable()
{
    const std::string path = narrow(UserSettings::filePath());
    const FileKind kind = fileStatus(path).kind;
    if (kind == FileKind::Regular || !pathOccupied(path))
        return true;
    static bool told = false;
    if (!told)
        std::fprintf(stderr, "clipforge: %s is not a regular file; settings are neither read from it nor kept\n",
                     displayText(path).c_str());
    told = true;
    return false;
}

QVariant stored(const char* key)
{
    return settingsUsable() ? settings().value(QString::fromLatin1(key)) : QVariant();
}

QString existingFolder(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void store(const char* key, const QVariant& value)
{
    if (!settingsUsable())
        return;
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
    return existingFolder(stored(keyOf(dialog)).toString());
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
    bool isNumber = false;
    const int position = stored(profilePositionKey).toInt(&isNumber);
    const QString name = stored(profileNameKey).toString();
    if (isNumber && position >= 0 && position < names.size() && names[position] == name)
        return position;
    return name.isEmpty() ? -1 : static_cast<int>(names.indexOf(name));
}

void UserSettings::rememberProfile(int position, const QString& name)
{
    if (position < 0 || !settingsUsable())
        return;
    QSettings file = settings();
    file.setValue(QString::fromLatin1(profilePositionKey), position);
    file.setValue(QString::fromLatin1(profileNameKey), name);
    file.sync();
}

QString UserSettings::lastOutputFolder()
{
    return existingFolder(stored(outputFolderKey).toString());
}

void UserSettings::rememberOutputFolder(const QString& folder)
{
    store(outputFolderKey, folder);
}

QString UserSettings::outputCheck()
{
    const QVariant word = stored(outputCheckKey);
    return word.isValid() ? word.toString() : QStringLiteral("streams");
}

int UserSettings::jobsAtOnce()
{
    bool isNumber = false;
    const int jobs = stored(jobsAtOnceKey).toInt(&isNumber);
    return isNumber && jobs > 0 ? jobs : 1;
}

void UserSettings::rememberJobsAtOnce(int jobs)
{
    store(jobsAtOnceKey, std::max(1, jobs));
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
