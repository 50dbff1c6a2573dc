#include "Joblog.h"

#include "engine/PooledJob.h"
#include "JsonLine.h"
#include "JsonReport.h"

namespace clipforge {

void Joblog::started(const std::string& listFile, const std::string& listHash, int jobs)
{
    append(JsonLine()
               .text("event", "joblog")
               .text("list", listFile)
               .text("list_hash", listHash)
               .integer("jobs", jobs)
               .str());
}

void Joblog::intent(const CommitIntent& intent)
{
    append(JsonLine()
               .text("event", "commit-intent")
               .integer("index", intent.index)
               .text("source", intent.source)
               .integer("profile", intent.profile)
               .text("private_file", intent.privateFile)
               .integer("device", static_cast<long long>(intent.device))
               .integer("inode", static_cast<long long>(intent.inode))
               .integer("size", static_cast<long long>(intent.size))
               .text("output", intent.output)
               .str());
    // The commit that follows is flushed to the disk; its intent must be there first, or a
    // power cut could leave an output no joblog line accounts for.
    flushToDisk();
}

void Joblog::ended(const PooledJobOutcome& outcome, const std::string& source, int profile,
                   std::optional<std::uint64_t> outputSize)
{
    append(jobEndedLine(outcome)
               .text("source", source)
               .integer("profile", profile)
               .integerOrNull("size", outputSize ? std::optional<long long>(*outputSize) : std::nullopt)
               .str());
}

}  // namespace clipforge
