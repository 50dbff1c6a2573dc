#include "engine/JobPlan.h"

#include "core/CommandManager.h"
#include "core/Errors.h"
#include "core/ItemNodeData.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "engine/ConverterCommand.h"
#include "engine/OverwriteManager.h"
#include "engine/ProfileCheck.h"

namespace clipforge {
namespace {

JobPlan refused(std::string reason)
{
    JobPlan plan;
    plan.refusal = std::move(reason);
    return plan;
}

// Why the job's profile cannot name or run its output; empty when it can.
std::string profileRefusal(int format, const TCommandManager& catalogue)
{
    if (format < 0 || format >= catalogue.Count())
        return "profile " + std::to_string(format) + " is not in the catalogue";
    if (!usableExtension(catalogue.GetExt(format)))
        return unusableExtensionReason(format);
    if (!usableParams(catalogue.GetParams(format)))
        return unusableParamsReason(format);
    return {};
}

}  // namespace

JobPlan planJob(const TItemData& job, const TCommandManager& catalogue, TOverwriteManager& names,
                const std::string& converter, const NameTaken& alsoTaken, const std::string& chosenName)
{
    if (std::string reason = profileRefusal(job.Format, catalogue); !reason.empty())
        return refused(std::move(reason));
    const std::string source = narrow(job.FileName);
    const std::string folder = outputFolder(narrow(job.Path), globalOutputFolder, programFolder());
    // The converter's arguments end at a NUL byte: it would read another file than the job's
    // and write one the unique-name rule never looked at.
    if (source.find('\0') != std::string::npos || folder.find('\0') != std::string::npos)
        return refused("A file name holding a NUL byte cannot be given to the converter");
    JobPlan plan;
    plan.outputFolder = folder;
    plan.outputName = chosenName.empty() ? outputName(source, catalogue.GetExt(job.Format)) : chosenName;
    try {
        plan.outputPath = names.GetUniqueName(plan.outputFolder + plan.outputName, alsoTaken);
    } catch (const Error& error) {
        return refused(error.what());
    }
    plan.converter = converter;
    plan.source = source;
    plan.params = catalogue.GetParams(job.Format);
    plan.commandLine = plan.commandLineWritingTo(plan.outputPath);
    return plan;
}

std::string JobPlan::commandLineWritingTo(const std::string& output) const
{
    return converterCommandLine(converter, source, params, output);
}

}  // namespace clipforge
