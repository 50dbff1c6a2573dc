#pragma once

#include "engine/OutputCheck.h"

#include <optional>
#include <string>
#include <vector>

namespace clipforge {

struct JobPlan;

// Which piece of a split job a line of a split plan converts. Every line of the job recomputes
// the same cuts from the same source and options.
struct PlannedPiece {
    std::string planId;   // chosen when the plan was printed; names the parts' shared folder
    int part = 0;         // the picture part, from 1; 0 for the sound
    int parts = 4;        // the most parts asked for
    double splitMinimum = 120;
};

// One job as a line of a plan carries it: all that converting it takes, so that neither the list
// file nor the catalogue, which may have changed since the plan was made, is read again.
struct PlannedJob {
    int index = 0;       // the job's place in the list, for its result line and reason
    std::string source;
    std::string params;  // the profile's converter arguments
    std::string ext;     // the profile's extension
    std::string folder;  // the output folder, ending in "/"
    std::string name;    // the output name chosen when the plan was made
    CheckMode check = CheckMode::Streams;
    std::optional<PlannedPiece> piece;  // none for a line that converts the whole job
};

// The mode --check names; BatchUsageError for any other word.
CheckMode checkModeValue(const std::string& text);

// The job at row of a list, as its plan made it, checked as check says.
PlannedJob plannedJob(int row, const JobPlan& plan, CheckMode check = CheckMode::Streams);

// The line of a plan that converts job with the program folder's clipforge-batch, as one POSIX
// shell command; clipforge::Error when a name holds a line break.
std::string plannedJobCommand(const PlannedJob& job);

// The job the arguments of "clipforge-batch job" describe (arguments[0] is "job");
// BatchUsageError when they do not describe one fully and safely.
PlannedJob parsePlannedJob(const std::vector<std::string>& arguments);

}  // namespace clipforge
