#pragma once

#include <QRect>
#include <QString>

#include <optional>

namespace clipforge {

// Where the main window was last left: its client rectangle at its normal size, and whether
// it was maximised.
struct WindowPlace {
    QRect normal;
    bool maximised = false;
};

// What the program remembers for its user between runs, in the user's configuration folder
// ($XDG_CONFIG_HOME/clipforge/clipforge.conf, ~/.config when unset): the folder each file
// dialog was last confirmed in, the profile and output folder last chosen in Add Files, and
// where the main window was left. Nothing else is kept there. A file that cannot be read or written costs the memory, never a
// command: every value is checked when read, and a folder that has gone is not offered again.
class UserSettings {
public:
    enum class FileDialog { AddFiles, ImportList, ExportList, SaveDirectory };

    static QString filePath();

    // Empty when nothing is remembered or the folder is no longer there.
    static QString lastFolder(FileDialog dialog);
    static void rememberFolder(FileDialog dialog, const QString& folder);
    // The folder the file at path lies in.
    static void rememberFolderOf(FileDialog dialog, const QString& path);

    // The profile last confirmed in Add Files, by position and name. The name settles it when
    // the catalogue has changed meanwhile; -1 when nothing fits.
    static int lastProfile(const QStringList& names);
    static void rememberProfile(int position, const QString& name);

    // The output folder last confirmed in Add Files; empty for the default folder, and when the
    // remembered one has gone.
    static QString lastOutputFolder();
    static void rememberOutputFolder(const QString& folder);

    // How outputs are checked before their commit ([convert] check): the word as written,
    // "streams" when none is.
    static QString outputCheck();

    // How many jobs the window converts at once ([convert] jobsAtOnce): at least 1, and 1 when
    // nothing usable is kept.
    static int jobsAtOnce();
    static void rememberJobsAtOnce(int jobs);

    // Empty when nothing usable is remembered; whether it fits the screen is the caller's to judge.
    static std::optional<WindowPlace> mainWindowPlace();
    static void rememberMainWindowPlace(const WindowPlace& place);
};

}  // namespace clipforge
