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

// Why a profile with this extension and these arguments cannot name or run its output; empty
// when it can.
std::string profileRefusal(int format, const std::string& ext, const std::string& params)
{
    if (!usableExtension(ext))
        return unusableExtensionReason(format);
    if (!usableParams(params))
        return unusableParamsReason(format);
    if (const std::string argument = unusableArgument(params); !argument.empty())
        return unusableArgumentReason(format, argument);
    return {};
}

}  // namespace

JobPlan planJob(const TItemData& job, const TCommandManager& catalogue, TOverwriteManager& names,
                const std::string& converter, const NameTaken& alsoTaken, const std::string& chosenName)
{
    if (!catalogue.Has(job.Format))
        return refused("profile " + std::to_string(job.Format) + " is not in the catalogue");
    JobPlan plan;
    plan.ext = catalogue.GetExt(job.Format);
    plan.params = catalogue.GetParams(job.Format);
    if (std::string reason = profileRefusal(job.Format, plan.ext, plan.params); !reason.empty())
        return refused(std::move(reason));
    plan.source = narrow(job.FileName);
    plan.outputFolder = outputFolder(narrow(job.Path), globalOutputFolder, programFolder());
    // The converter's arguments end at a NUL byte: it would read another file than the job's
    // and write one the unique-name rule never looked at.
    if (plan.source.find('\0') != std::string::npos || plan.outputFolder.find('\0') != std::string::npos)
        return refused("A file name holding a NUL byte cannot be given to the converter");
    plan.outputName = chosenName.empty() ? outputName(plan.source, plan.ext) : chosenName;
    try {
        plan.outputPath = names.GetUniqueName(plan.outputFolder + plan.outputName, alsoTaken);
    } catch (const Error& error) {
        return refused(error.what());
    }
    plan.converter = converter;
    plan.commandLine = plan.commandLineWritingTo(plan.outputPath);
    return plan;
}

std::string JobPlan::commandLineWritingTo(const std::string& output) const
{
    return converterCommandLine(converter, source, params, output);
}

}  // namespace clipforge
