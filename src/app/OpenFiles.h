#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include <ostream>
#include <string>
#include <vector>

class TmainDlg;

// Files handed to the program from outside, by its command line (a file manager's "Open with")
// or by a drop on the window, become one Add, as if picked in Add's file dialog.
namespace clipforge {

// The names that are files, as full paths in the order given: only files make jobs, as only
// files can be picked in the file dialog. A folder stands for the video files inside it, at any
// depth, sorted by path. A relative name is taken from the current folder. Names that give no
// file are appended to leftOut when given.
QStringList filesToOpen(const std::vector<std::string>& names, std::vector<std::string>* leftOut = nullptr);

// The arguments after the program's own name; each one left out is named on err.
QStringList filesFromArguments(int argc, char** argv, std::ostream& err);

// The local files among dropped addresses.
QStringList filesFromUrls(const QList<QUrl>& urls);

// Opens the Add Files dialog with files once the window's event loop runs, so the dialog comes
// up over the shown window. Nothing happens for an empty list.
void openFilesOnceShown(TmainDlg& window, const QStringList& files);

}  // namespace clipforge
