#pragma once

#include "engine/JobOutcome.h"

#include <iosfwd>
#include <string>

namespace clipforge {

class PacketReader;
class SharedSplitFolder;
struct PlannedJob;
struct SplitPlan;
struct SplitTask;

// clipforge-batch job with --split-part: converts one piece of a split job (a picture part or
// the sound) into the job's shared folder and, when it then finds every piece there, joins,
// checks and commits the job as a whole conversion would be. Any line may run any number of
// times, in any order, several at once, on any machine: a piece already there is not converted
// again, and a line whose job is committed ends at once.
class SplitPieceRun {
public:
    SplitPieceRun(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // 0 when the piece is there (or the job committed), 1 when it or the join failed, 130 when
    // stopped by a signal. Only the line that commits the job prints its result line.
    int run(const PlannedJob& job);

private:
    int convertPiece(const PlannedJob& job, const SplitPlan& split, const SharedSplitFolder& shared,
                     const std::string& piece);
    // The converter's run of task, until it ends or a signal stops it.
    JobOutcome runTask(const SplitTask& task, const std::string& folder);
    int join(const PlannedJob& job, const SharedSplitFolder& shared);
    // A failed piece or join: nothing is wrong when another line committed the job meanwhile.
    int failed(const PlannedJob& job, const SharedSplitFolder& shared, const std::string& reason);

    std::ostream& out_;
    std::ostream& err_;
    PacketReader* reader_ = nullptr;
    bool interrupted_ = false;
};

}  // namespace clipforge
