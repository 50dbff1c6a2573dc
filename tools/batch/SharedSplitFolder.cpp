#include "SharedSplitFolder.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/NoReplaceCommit.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace clipforge {

SharedSplitFolder::SharedSplitFolder(const std::string& outputFolder, const std::string& planId, int index)
    : path_(outputFolder + ".clipforge-split." + planId + "." + std::to_string(index) + "/")
{
}

void SharedSplitFolder::make() const
{
    if (!makeFolders(path_, 0777))
        throw Error("the folder for the parts, " + path_ + ", cannot be made: " + std::strerror(errno));
}

bool SharedSplitFolder::holds(const std::string& name) const
{
    return fileStatus(path_ + name, FinalLink::Examined).kind == FileKind::Regular;
}

bool SharedSplitFolder::holdsAll(const std::vector<std::string>& names) const
{
    return std::all_of(names.begin(), names.end(), [this](const std::string& name) { return holds(name); });
}

void SharedSplitFolder::publish(const std::string& written, const std::string& name) const
{
    const CommitOutcome outcome = commitWithoutReplacing(written, path_ + name);
    if (outcome.result == CommitResult::Failed)
        throw Error("the part " + name + " could not be published in " + path_ + ": " + std::strerror(outcome.error));
}

}  // namespace clipforge
