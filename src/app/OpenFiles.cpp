#include "app/OpenFiles.h"

#include "app/MainDlg.h"
#include "app/UIHook.h"
#include "core/DisplayText.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/VideoFiles.h"

#include <QTimer>

namespace clipforge {

namespace {

// A file stands for itself, whatever its type; a folder for the videos it holds.
std::vector<std::string> filesAt(const std::string& path)
{
    if (fileExists(path))
        return {path};
    return folderExists(path) ? videoFilesIn(path) : std::vector<std::string>();
}

}  // namespace

QStringList filesToOpen(const std::vector<std::string>& names, std::vector<std::string>* leftOut)
{
    QStringList files;
    for (const std::string& name : names) {
        // Kept as bytes until the end, so a name in no valid encoding still reaches the job intact.
        const std::string path = absolutePath(name);
        const std::vector<std::string> found = name.empty() ? std::vector<std::string>() : filesAt(path);
        for (const std::string& file : found)
            files.append(widen(file));
        if (found.empty() && leftOut)
            leftOut->push_back(name);
    }
    return files;
}

QStringList filesFromArguments(int argc, char** argv, std::ostream& err)
{
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i)
        names.emplace_back(argv[i]);
    std::vector<std::string> leftOut;
    QStringList files = filesToOpen(names, &leftOut);
    for (const std::string& name : leftOut)
        err << "clipforge: " << displayText(name) << " is neither a file nor a folder holding videos; left out"
            << std::endl;
    return files;
}

QStringList filesFromUrls(const QList<QUrl>& urls)
{
    std::vector<std::string> names;
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            names.push_back(narrow(url.toLocalFile()));
    }
    return filesToOpen(names);
}

void openFilesOnceShown(TmainDlg& window, const QStringList& files)
{
    if (files.isEmpty())
        return;
    QTimer::singleShot(0, &window, [&window, files] {
        if (TUIHook* hook = window.hook())
            hook->openFiles(files);
    });
}

}  // namespace clipforge
