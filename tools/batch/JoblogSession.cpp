#include "JoblogSession.h"

#include "engine/PooledJob.h"
#include "core/Errors.h"
#include "core/FileSystem.h"
#include "core/LeftoverCleaner.h"
#include "core/TreeManager.h"
#include "core/xml/FileIo.h"

#include <QCryptographicHash>

#include <cstring>
#include <set>

namespace clipforge {

std::string listHash(const std::string& listFile)
{
    const std::string bytes = readWholeFile(listFile);
    const QByteArray digest = QCryptographicHash::hash(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    return "sha256:" + digest.toHex().toStdString();
}

JoblogSession::JoblogSession(const std::string& path, const std::string& listFile, const TTreeManager& list,
                             const TCommandManager& catalogue, bool resume)
    : joblog_(path)
{
    // Read only once the joblog is ours: no other run appends meanwhile.
    const std::string hash = listHash(listFile);
    const JoblogHistory history = JoblogHistory::read(path, hash);
    if (!history.started())
        joblog_.started(listFile, hash, list.Count());
    if (!resume)
        return;
    plan_.emplace(history, list, catalogue, joblog_);
    // The interrupted jobs' private folders are a dead writer's now; nothing in them is wanted.
    std::set<std::string> folders(plan_->interruptedFolders().begin(), plan_->interruptedFolders().end());
    for (const std::string& folder : folders)
        clearLeftovers(folder);
}

void JoblogSession::committing(const PooledJob& job, const std::string& written, const std::string& chosen)
{
    const FileStatus output = fileStatus(written);
    if (!output.exists())
        throw Error("the output could not be examined before its commit: " + std::string(std::strerror(output.error)));
    CommitIntent intent;
    intent.index = job.index();
    intent.source = job.source();
    intent.profile = job.profile();
    intent.privateFile = written;
    intent.device = output.identity.device;
    intent.inode = output.identity.inode;
    intent.size = output.size;
    intent.output = chosen;
    joblog_.intent(intent);
    committedSizes_[intent.index] = intent.size;
}

void JoblogSession::ended(const PooledJob& job, const PooledJobOutcome& outcome)
{
    std::optional<std::uint64_t> size;
    if (const auto found = committedSizes_.find(outcome.index); found != committedSizes_.end() && outcome.finished)
        size = found->second;
    joblog_.ended(outcome, job.source(), job.profile(), size);
}

}  // namespace clipforge
