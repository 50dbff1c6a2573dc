#pragma once

#include "Joblog.h"
#include "ResumePlan.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class TCommandManager;
class TTreeManager;

namespace clipforge {

class PooledJob;
struct PooledJobOutcome;

// A convert run's joblog (--joblog): opens it for the list, settles what an interrupted run left
// when resuming, and journals each job's commit and end.
class JoblogSession {
public:
    // Takes the joblog at path for this run; with resume, settles the jobs an earlier run left
    // between the intent to commit and their end, before any leftover clean-up of their folders.
    // Throws clipforge::Error for a joblog of another list, one in use by another run, or one
    // that cannot be read or written.
    JoblogSession(const std::string& path, const std::string& listFile, const TTreeManager& list,
                  const TCommandManager& catalogue, bool resume);

    // The output of a job an earlier run finished; null when the job runs.
    const std::string* doneOutput(int row) const { return plan_ ? plan_->doneOutput(row) : nullptr; }
    int doneCount() const { return plan_ ? plan_->doneCount() : 0; }
    // The lines of the earlier run that were not believed, one sentence each.
    std::vector<std::string> ignoredLines() const { return plan_ ? plan_->ignoredLines() : std::vector<std::string>(); }

    // Written and flushed just before the commit of written under chosen.
    void committing(const PooledJob& job, const std::string& written, const std::string& chosen);
    void ended(const PooledJob& job, const PooledJobOutcome& outcome);

private:
    Joblog joblog_;
    std::optional<ResumePlan> plan_;
    std::map<int, std::uint64_t> committedSizes_;
};

// The hash that ties a joblog to its list: of the list file's bytes.
std::string listHash(const std::string& listFile);

}  // namespace clipforge
