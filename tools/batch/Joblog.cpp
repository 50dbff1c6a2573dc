#include "Joblog.h"

#include "BatchJob.h"
#include "JsonLine.h"
#include "JsonReport.h"
#include "core/Errors.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace clipforge {

Joblog::Joblog(const std::string& path)
    : path_(path), fd_(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666))
{
    if (!fd_.valid())
        throw Error("cannot open the joblog " + path + ": " + std::strerror(errno));
    if (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0)
        throw Error("the joblog " + path + " is in use by another run");
}

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
    if (::fdatasync(fd_.get()) != 0)
        throw Error("cannot flush the joblog " + path_ + ": " + std::strerror(errno));
}

void Joblog::ended(const BatchJobOutcome& outcome, const std::string& source, int profile,
                   std::optional<std::uint64_t> outputSize)
{
    append(jobEndedLine(outcome)
               .text("source", source)
               .integer("profile", profile)
               .integerOrNull("size", outputSize ? std::optional<long long>(*outputSize) : std::nullopt)
               .str());
}

// One write per line: with O_APPEND a line is never split, and once write returns it survives
// the process however it ends.
void Joblog::append(const std::string& line)
{
    const std::string bytes = line + '\n';
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            throw Error("cannot write the joblog " + path_ + ": " + std::strerror(errno));
        done += static_cast<std::size_t>(wrote);
    }
}

}  // namespace clipforge
