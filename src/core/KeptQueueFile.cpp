#include "core/KeptQueueFile.h"

#include "core/Errors.h"
#include "core/ItemManager.h"
#include "core/NoReplaceCommit.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"

#include <cerrno>
#include <cstring>
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

std::string setAside(const std::string& path)
{
    const std::string stem = path + ".broken";
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string name = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
        const CommitOutcome moved = commitWithoutReplacing(path, name);
        if (moved.result == CommitResult::Committed)
            return name;
        if (moved.result == CommitResult::Failed)
            throw EFileError("Cannot move file \"" + path + "\" aside. " + std::string(std::strerror(moved.error)));
    }
    throw EFileError("Cannot move file \"" + path + "\" aside. " + std::string(std::strerror(EEXIST)));
}

}  // namespace clipforge
