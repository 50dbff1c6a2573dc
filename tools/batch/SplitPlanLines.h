#pragma once

#include "engine/SplitPlan.h"

#include <string>

namespace clipforge {

class PacketReader;
struct PlannedJob;

// The lines plan --split prints for job: when its source splits, one for the sound and one per
// picture part, each converting its piece with clipforge-batch job; otherwise the job's ordinary
// line. Lines are separated by line feeds, without one at the end.
std::string splitPlanLines(const PlannedJob& job, PacketReader& reader, const SplitOptions& options,
                           const std::string& planId);

// How a line of a split plan cuts its job, as every line of the plan cuts it: from the source's
// packets as they are now. A source that is not a regular file, or a profile that cannot be
// cut, runs whole.
SplitPlan splitOfPlannedJob(const PlannedJob& job, PacketReader& reader, const SplitOptions& options);

// A new plan's id: random letters and digits, so that no two plans share a folder.
std::string newPlanId();

// What the output of a split plan's job carries in its comment, so every line knows it again.
std::string splitStamp(const std::string& planId, int index);

// Where the output of job (a split plan's line) is committed already, by any line of its plan:
// the planned name, or one of the next names after it, holding the job's stamp (found); else the
// first free name among them (free). Both empty when no name fits.
struct CommittedLook {
    std::string found;
    std::string free;
};
CommittedLook lookForSplitOutput(const PlannedJob& job, PacketReader& reader);
// Only where it is committed; empty when it is not.
std::string committedSplitOutput(const PlannedJob& job, PacketReader& reader);

}  // namespace clipforge
