#pragma once

#include "core/ItemManager.h"
#include "core/TreeManager.h"

#include <iosfwd>
#include <string>

class TCommand;
class TCommandManager;

namespace clipforge {

// clipforge-batch convert: reads a list file into a job list and converts it with the same
// driver and runner as the desktop program, or prints the command lines a run would use.
class BatchConversion {
public:
    BatchConversion(std::ostream& out, std::ostream& err, const TCommandManager& catalogue);

    // Exit code: 0 when every job finished, 1 when any failed, 130 when Ctrl-C or SIGTERM
    // stopped the run; errors reading the list leave as exceptions, before anything runs.
    int run(const std::string& listFile, bool dryRun);

private:
    int printCommandLines();
    int convert();
    void reportJobEnd(const TCommand& command);
    // Why the job at row failed, as one line on standard error.
    void reportReason(int row, const std::string& reason);
    int finishedJobs() const;

    std::ostream& out_;
    std::ostream& err_;
    const TCommandManager& catalogue_;
    TItemManager staging_;
    TTreeManager tree_;
};

}  // namespace clipforge
