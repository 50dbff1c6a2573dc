#include "SplitPlanLines.h"

#include "PlannedJob.h"

#include "core/Errors.h"
#include "core/FileSystem.h"
#include "engine/CommandLineSplitter.h"
#include "engine/OverwriteManager.h"
#include "engine/PacketReader.h"

#include <random>

namespace clipforge {

std::string splitPlanLines(const PlannedJob& job, PacketReader& reader, const SplitOptions& options,
                           const std::string& planId)
{
    const SplitPlan split = splitOfPlannedJob(job, reader, options);
    if (!split.splits())
        return plannedJobCommand(job);
    std::string lines;
    // The sound first: it is the shortest to convert, so it is not the one left running at the end.
    for (int part = split.sound ? 0 : 1; part <= split.parts; ++part) {
        PlannedJob piece = job;
        piece.piece = PlannedPiece{planId, part, options.parts, options.minimumSeconds};
        lines += (lines.empty() ? "" : "\n") + plannedJobCommand(piece);
    }
    return lines;
}

SplitPlan splitOfPlannedJob(const PlannedJob& job, PacketReader& reader, const SplitOptions& options)
{
    const std::vector<std::string> params = splitCommandLine(job.params);
    MediaPackets packets;
    if (!profileSplitRefusal(params).empty() || fileStatus(job.source).kind != FileKind::Regular)
        packets.error = "it is not a regular file";
    else
        packets = reader.readAndWait(job.source);
    return planSplit(params, packets, options);
}

std::string newPlanId()
{
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof digits - 2);
    std::string id;
    for (int i = 0; i < 12; ++i)
        id += digits[pick(random)];
    return id;
}

std::string splitStamp(const std::string& planId, int index)
{
    return "clipforge-plan-" + planId + "-job-" + std::to_string(index);
}

CommittedLook lookForSplitOutput(const PlannedJob& job, PacketReader& reader)
{
    const std::string stamp = splitStamp(job.piece ? job.piece->planId : std::string(), job.index);
    // Another line may commit between two looks at one name; the look is then taken again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        CommittedLook look;
        std::string firstMissing;
        // The names the chooser walks past are exactly those a commit might have moved on to.
        const auto watch = [&](const std::string& path) {
            const FileStatus status = fileStatus(path, FinalLink::Examined);
            if (!status.exists() && firstMissing.empty())
                firstMissing = path;
            else if (status.kind == FileKind::Regular && look.found.empty() && reader.readAndWait(path).comment == stamp)
                look.found = path;
            return false;
        };
        try {
            look.free = TOverwriteManager().GetUniqueName(job.folder + job.name, watch);
        } catch (const Error&) {
            return {};  // no name fits: then none holds the output either
        }
        if (!look.found.empty() || look.free == firstMissing)
            return look;
    }
    return {};
}

std::string committedSplitOutput(const PlannedJob& job, PacketReader& reader)
{
    return lookForSplitOutput(job, reader).found;
}

}  // namespace clipforge
