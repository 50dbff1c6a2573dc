#include "engine/OverwriteManager.h"

#include "core/Paths.h"

std::string TOverwriteManager::GetUniqueName(const std::string& path) const
{
    const std::string suffix = "_2" + clipforge::extensionPart(path);
    std::string result = path;
    // Terminates: every turn makes the name longer, and a name too long for
    // the file system cannot exist.
    while (clipforge::fileExists(result))
        result = clipforge::replaceExtension(result, suffix);
    return result;
}
