#include "PlannedJob.h"

#include "BatchArguments.h"
#include "ShellCommand.h"

#include "core/Paths.h"
#include "engine/Decimals.h"
#include "engine/JobPlan.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace clipforge {
namespace {

const char* const BatchProgramName = "clipforge-batch";

int indexValue(const std::string& text)
{
    int index = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
    if (error != std::errc() || end != text.data() + text.size() || index < 0)
        throw BatchUsageError("--index needs a job number (0 or more), not \"" + text + "\"");
    return index;
}

// The converter would write elsewhere than the folder given, or nowhere at all.
void requireFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.find(pathSeparator) != std::string::npos)
        throw BatchUsageError("--name needs a file name without \"/\", not \"" + name + "\"");
}

// The plan id goes into a folder's name: letters and digits only.
std::string planIdValue(const std::string& text)
{
    const bool plain = !text.empty() && text.size() <= 32 &&
                       std::all_of(text.begin(), text.end(), [](char c) {
                           // Not isalnum: the user's locale may count other bytes as letters.
                           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
                       });
    if (!plain)
        throw BatchUsageError("--plan-id needs up to 32 letters and digits, not \"" + text + "\"");
    return text;
}

std::optional<PlannedPiece> pieceFrom(std::map<std::string, std::string>& values)
{
    if (!values.count("--split-part")) {
        if (values.count("--plan-id") || values.count("--parts") || values.count("--split-min"))
            throw BatchUsageError("--plan-id, --parts and --split-min need --split-part");
        return std::nullopt;
    }
    for (const char* required : {"--plan-id", "--parts", "--split-min"}) {
        if (!values.count(required))
            throw BatchUsageError(std::string("--split-part needs ") + required);
    }
    PlannedPiece piece;
    piece.planId = planIdValue(values["--plan-id"]);
    piece.parts = partNumber(values["--parts"], "--parts", 2);
    const std::string& part = values["--split-part"];
    piece.part = part == "sound" ? 0 : partNumber(part, "--split-part", 1);
    piece.splitMinimum = splitSeconds(values["--split-min"]);
    return piece;
}

PlannedJob fromValues(std::map<std::string, std::string> values)
{
    for (const char* required : {"--source", "--params", "--ext", "--folder", "--name"}) {
        if (!values.count(required))
            throw BatchUsageError(std::string("job needs ") + required);
    }
    PlannedJob job;
    job.index = values.count("--index") ? indexValue(values["--index"]) : 0;
    job.source = values["--source"];
    job.params = values["--params"];
    job.ext = values["--ext"];
    job.folder = values["--folder"];
    job.name = values["--name"];
    if (values.count("--check"))
        job.check = checkModeValue(values["--check"]);
    if (job.source.empty() || job.folder.empty())
        throw BatchUsageError("job needs a source and an output folder that are not empty");
    if (job.folder.back() != pathSeparator)
        job.folder += pathSeparator;
    requireFileName(job.name);
    job.piece = pieceFrom(values);
    return job;
}

}  // namespace

CheckMode checkModeValue(const std::string& text)
{
    const std::optional<CheckMode> mode = checkModeNamed(text);
    if (!mode)
        throw BatchUsageError("--check needs streams, full, warn or off, not \"" + text + "\"");
    return *mode;
}

PlannedJob plannedJob(int row, const JobPlan& plan, CheckMode check)
{
    return {row, plan.source, plan.params, plan.ext, folderPart(plan.outputPath), fileNamePart(plan.outputPath), check, {}};
}

std::string plannedJobCommand(const PlannedJob& job)
{
    std::vector<std::string> words{programFolder() + BatchProgramName, "job", "--index", std::to_string(job.index),
                                   "--source", job.source, "--params", job.params, "--ext", job.ext, "--folder",
                                   job.folder, "--name", job.name};
    // The default goes unsaid, so plans read as they always have.
    if (job.check != CheckMode::Streams)
        words.insert(words.end(), {"--check", checkModeName(job.check)});
    if (job.piece)
        words.insert(words.end(), {"--plan-id", job.piece->planId, "--split-part",
                                   job.piece->part == 0 ? "sound" : std::to_string(job.piece->part), "--parts",
                                   std::to_string(job.piece->parts), "--split-min", decimalText(job.piece->splitMinimum, 3)});
    return shellCommand(words);
}

PlannedJob parsePlannedJob(const std::vector<std::string>& arguments)
{
    const std::vector<std::string> options{"--index",   "--source",  "--params",     "--ext",   "--folder",   "--name",
                                           "--check",   "--plan-id", "--split-part", "--parts", "--split-min"};
    std::map<std::string, std::string> values;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const auto known = std::find_if(options.begin(), options.end(), [&](const std::string& option) {
            std::optional<std::string> value;
            if (takeOption(arguments, i, option, value))
                values[option] = *value;
            return value.has_value();
        });
        if (known == options.end())
            throw BatchUsageError("unknown option for job: " + arguments[i]);
    }
    return fromValues(std::move(values));
}

}  // namespace clipforge
