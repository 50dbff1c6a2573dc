#include "core/KeptQueueFile.h"

#include "core/Errors.h"
#include "core/ItemManager.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"

#include <vector>

namespace clipforge {

KeptQueueContents readKeptQueue(const std::string& path)
{
    KeptQueueContents contents;
    contents.present = pathOccupied(path);
    if (!contents.present)
        return contents;
    const std::vector<std::string> noProfiles;
    TItemManager staging;
    TTreeManager jobs(noProfiles, staging);
    try {
        if (!fileExists(path))
            throw EFileError("Cannot open file \"" + path + "\". It is not a regular file");
        TSaveManager(jobs).ReadList(path);
        contents.jobs = jobs.Count();
    } catch (const std::exception& error) {
        contents.error = error.what();
    }
    return contents;
}

}  // namespace clipforge
