#pragma once

#include "Joblog.h"
#include "JoblogHistory.h"
#include "OwnOutput.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class TCommandManager;
class TTreeManager;

namespace clipforge {

// What --resume makes of an earlier run's joblog, before anything runs: the jobs that are done,
// whose outputs are still there as they were written, and the rest, which run again.
class ResumePlan {
public:
    // Settles the jobs caught between the intent to commit and their end: one whose output was
    // committed (found by device, inode and size, under whatever name it took) is recorded in the
    // joblog as finished and is done; the others run again. A line whose output is not in the
    // job's own output folder under the job's own name (or a numbered one) proves nothing: it is
    // ignored, said in ignoredLines, and its job runs again.
    ResumePlan(const JoblogHistory& history, const TTreeManager& list, const TCommandManager& catalogue,
               Joblog& joblog);

    // The output of a job that is done; null when it runs.
    const std::string* doneOutput(int row) const;
    int doneCount() const { return static_cast<int>(done_.size()); }
    // The output folders of jobs that were interrupted before their commit: their private
    // folders are leftovers now.
    const std::vector<std::string>& interruptedFolders() const { return interruptedFolders_; }
    // One sentence per joblog line that was not believed.
    const std::vector<std::string>& ignoredLines() const { return ignoredLines_; }

private:
    // Whether the job ended finished with its own output, still there as written: then it is done.
    bool accept(int row, const JoblogHistory::Finished& finished, const std::optional<OwnOutput>& own);
    // A job caught between its intent to commit and its end: done, or to run again.
    void settle(int row, const CommitIntent& intent, const std::optional<OwnOutput>& own, Joblog& joblog);
    void ignore(int row, const std::string& output);

    std::map<int, std::string> done_;
    std::vector<std::string> interruptedFolders_;
    std::vector<std::string> ignoredLines_;
};

// The committed output of an intent: the file of that device, inode and size, at its final name
// or, should the commit have had to take another, elsewhere in the same folder.
std::optional<std::string> committedOutput(const CommitIntent& intent);

}  // namespace clipforge
