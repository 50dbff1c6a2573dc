#pragma once

#include <QString>

#include <functional>

namespace clipforge {

// Opens a file or folder with the desktop's opener (xdg-open), without waiting for it: a generic
// opener may wait for the program it starts until that program closes. Whether it could start
// at all is known at once; an opener that then ends with an error (no program for folders, say)
// is reported through failed, with its own last words. An opener still running when the
// program ends is left running: what it started is the user's.
class DesktopOpener {
public:
    using Failure = std::function<void(const QString& why)>;

    // False when the opener could not be started.
    static bool open(const QString& path, Failure failed);
    // Openers started and not yet ended.
    static int running();

    static QString program();
    // Another opener, for tests; empty restores xdg-open.
    static void setProgramForTesting(const QString& program);
};

}  // namespace clipforge
