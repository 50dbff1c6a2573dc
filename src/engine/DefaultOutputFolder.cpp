#include "engine/DefaultOutputFolder.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/LocalText.h"
#include "core/Paths.h"

#include <QStandardPaths>

#include <cerrno>
#include <cstring>

namespace clipforge {

std::string defaultOutputFolder(const std::string& programFolder)
{
    const std::string convert = programFolder + "convert" + pathSeparator;
    return isWritableFolder(convert) ? convert : userOutputFolder();
}

std::string userOutputFolder()
{
    std::string videos = narrow(QStandardPaths::writableLocation(QStandardPaths::MoviesLocation));
    if (videos.empty() || videos.back() != pathSeparator)
        videos += pathSeparator;
    return videos + "Clipforge" + pathSeparator;
}

void prepareOutputFolder(const std::string& folder)
{
    if (folder != userOutputFolder())
        return;
    if (!makeFolders(folder))
        throw Error("The output folder " + folder + " cannot be created: " + std::strerror(errno));
}

}  // namespace clipforge
