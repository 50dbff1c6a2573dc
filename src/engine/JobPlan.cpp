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

JobPlan planJob(const TItemData& job, const TCommandManager& catalogue, TOverwriteManager& names,
                const std::string& converter, const NameTaken& alsoTaken)
{
    JobPlan plan;
    const std::string ext = catalogue.GetExt(job.Format);
    if (!usableExtension(ext))
        throw Error(unusableExtensionReason(job.Format));
    const std::string params = catalogue.GetParams(job.Format);
    if (!usableParams(params))
        throw Error(unusableParamsReason(job.Format));
    const std::string source = narrow(job.FileName);
    plan.outputFolder = outputFolder(narrow(job.Path), globalOutputFolder, programFolder());
    plan.outputName = outputName(source, ext);
    // The converter's arguments end at a NUL byte: it would read another file than the job's
    // and write one the unique-name rule never looked at.
    if (source.find('\0') != std::string::npos || plan.outputFolder.find('\0') != std::string::npos)
        throw Error("A file name holding a NUL byte cannot be given to the converter");
    plan.outputPath = names.GetUniqueName(plan.outputFolder + plan.outputName, alsoTaken);
    plan.commandLine = converterCommandLine(converter, source, params, plan.outputPath);
    return plan;
}

}  // namespace clipforge
