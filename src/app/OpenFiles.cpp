#include "app/OpenFiles.h"

#include "app/MainDlg.h"
#include "app/UIHook.h"
#include "core/DisplayText.h"
#include "core/LocalText.h"
#include "core/Paths.h"

#include <QTimer>

namespace clipforge {

QStringList filesToOpen(const std::vector<std::string>& names, std::vector<std::string>* leftOut)
{
    QStringList files;
    for (const std::string& name : names) {
        // Kept as bytes until the end, so a name in no valid encoding still reaches the job intact.
        const std::string path = absolutePath(name);
        if (!name.empty() && fileExists(path))
            files.append(widen(path));
        else if (leftOut)
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
        err << "clipforge: " << displayText(name) << " is not a file; left out" << std::endl;
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
