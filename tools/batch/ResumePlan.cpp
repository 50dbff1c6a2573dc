#include "ResumePlan.h"

#include "BatchJob.h"
#include "core/Paths.h"
#include "core/TreeManager.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace clipforge {
namespace {

bool isFile(const std::string& path, struct stat& info)
{
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool sameFile(const struct stat& info, const CommitIntent& intent)
{
    return static_cast<std::uint64_t>(info.st_dev) == intent.device &&
           static_cast<std::uint64_t>(info.st_ino) == intent.inode &&
           static_cast<std::uint64_t>(info.st_size) == intent.size;
}

bool stillThere(const JoblogHistory::Finished& finished)
{
    struct stat info {};
    return !finished.output.empty() && isFile(finished.output, info) &&
           static_cast<std::uint64_t>(info.st_size) == finished.size;
}

}  // namespace

std::optional<std::string> committedOutput(const CommitIntent& intent)
{
    struct stat info {};
    if (isFile(intent.output, info) && sameFile(info, intent))
        return intent.output;
    const std::string folder = folderPart(intent.output);
    const auto close = [](DIR* dir) { ::closedir(dir); };
    const std::unique_ptr<DIR, decltype(close)> entries(::opendir(folder.empty() ? "." : folder.c_str()), close);
    if (!entries)
        return std::nullopt;
    while (const dirent* entry = ::readdir(entries.get())) {
        if (entry->d_ino != intent.inode)
            continue;
        const std::string path = folder + entry->d_name;
        if (isFile(path, info) && sameFile(info, intent))
            return path;
    }
    return std::nullopt;
}

ResumePlan::ResumePlan(const JoblogHistory& history, const TTreeManager& list, Joblog& joblog)
{
    for (int row = 0; row < list.Count(); ++row) {
        if (const JoblogHistory::Finished* finished = history.finished(row); finished && stillThere(*finished)) {
            done_[row] = finished->output;
            continue;
        }
        const CommitIntent* intent = history.unsettled(row);
        if (!intent)
            continue;
        if (const auto output = committedOutput(*intent)) {
            BatchJobOutcome outcome;
            outcome.index = row;
            outcome.finished = true;
            outcome.exitCode = 0;
            outcome.output = *output;
            joblog.ended(outcome, intent->source, intent->profile, intent->size);
            done_[row] = *output;
        } else {
            interruptedFolders_.push_back(folderPart(intent->output));
        }
    }
}

const std::string* ResumePlan::doneOutput(int row) const
{
    const auto found = done_.find(row);
    return found == done_.end() ? nullptr : &found->second;
}

}  // namespace clipforge
