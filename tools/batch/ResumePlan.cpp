#include "ResumePlan.h"

#include "engine/PooledJob.h"
#include "OwnOutput.h"
#include "core/ItemNodeData.h"
#include "core/FileSystem.h"
#include "core/Paths.h"
#include "core/TreeManager.h"

namespace clipforge {
namespace {

// Links are never followed: an output is committed as a regular file under a name of its own.
bool holdsIntended(const std::string& path, const CommitIntent& intent)
{
    const FileStatus file = fileStatus(path, FinalLink::Examined);
    return file.kind == FileKind::Regular && file.identity == FileIdentity{intent.device, intent.inode} &&
           file.size == intent.size;
}

bool stillThere(const JoblogHistory::Finished& finished)
{
    if (finished.output.empty())
        return false;
    const FileStatus file = fileStatus(finished.output, FinalLink::Examined);
    return file.kind == FileKind::Regular && file.size == finished.size;
}

bool isOwn(const std::optional<OwnOutput>& own, const std::string& path) { return own && own->holds(path); }

}  // namespace

std::optional<std::string> committedOutput(const CommitIntent& intent)
{
    if (holdsIntended(intent.output, intent))
        return intent.output;
    const std::string folder = folderPart(intent.output);
    for (const FolderEntry& entry : folderEntries(folder).value_or(std::vector<FolderEntry>())) {
        if (entry.inode != intent.inode)
            continue;
        const std::string path = folder + entry.name;
        if (holdsIntended(path, intent))
            return path;
    }
    return std::nullopt;
}

ResumePlan::ResumePlan(const JoblogHistory& history, const TTreeManager& list, const TCommandManager& catalogue,
                       Joblog& joblog)
{
    for (int row = 0; row < list.Count(); ++row) {
        const std::optional<OwnOutput> own = OwnOutput::of(list.Job(row).ItemData, catalogue);
        if (const JoblogHistory::Finished* finished = history.finished(row); finished && accept(row, *finished, own))
            continue;
        if (const CommitIntent* intent = history.unsettled(row))
            settle(row, *intent, own, joblog);
    }
}

bool ResumePlan::accept(int row, const JoblogHistory::Finished& finished, const std::optional<OwnOutput>& own)
{
    if (!isOwn(own, finished.output)) {
        ignore(row, finished.output);
        return false;
    }
    if (!stillThere(finished))
        return false;
    done_[row] = finished.output;
    return true;
}

void ResumePlan::settle(int row, const CommitIntent& intent, const std::optional<OwnOutput>& own, Joblog& joblog)
{
    if (!isOwn(own, intent.output)) {
        ignore(row, intent.output);
        return;
    }
    const std::optional<std::string> output = committedOutput(intent);
    if (output && !isOwn(own, *output))
        ignore(row, *output);
    if (!output || !isOwn(own, *output)) {
        interruptedFolders_.push_back(folderPart(intent.output));
        return;
    }
    PooledJobOutcome outcome;
    outcome.index = row;
    outcome.finished = true;
    outcome.exitCode = 0;
    outcome.output = *output;
    joblog.ended(outcome, intent.source, intent.profile, intent.size);
    done_[row] = *output;
}

void ResumePlan::ignore(int row, const std::string& output)
{
    ignoredLines_.push_back("the joblog's line for job " + std::to_string(row) + " names \"" + output +
                            "\", which is not that job's output; the line is ignored and the job runs again");
}

const std::string* ResumePlan::doneOutput(int row) const
{
    const auto found = done_.find(row);
    return found == done_.end() ? nullptr : &found->second;
}

}  // namespace clipforge
