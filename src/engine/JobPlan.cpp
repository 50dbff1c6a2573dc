#include "engine/JobPlan.h"

#include "core/CommandManager.h"
#include "core/ItemNodeData.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "engine/ConverterCommand.h"
#include "engine/OverwriteManager.h"

namespace clipforge {
namespace {

// The unique-name rule, carried on past names that are taken without a file: each such name
// gets one more "_2" before its extension, exactly as an existing file would.
std::string uniquePath(const TOverwriteManager& names, const std::string& candidate, const NameTaken& alsoTaken)
{
    std::string path = names.GetUniqueName(candidate);
    if (!alsoTaken)
        return path;
    const std::string extension = extensionPart(candidate);
    while (alsoTaken(path))
        path = names.GetUniqueName(replaceExtension(path, "_2" + extension));
    return path;
}

}  // namespace

JobPlan planJob(const TItemData& job, const TCommandManager& catalogue, const TOverwriteManager& names,
                const std::string& converter, const NameTaken& alsoTaken)
{
    JobPlan plan;
    if (job.Format < 0 || job.Format >= catalogue.Count()) {
        plan.refusal = "profile " + std::to_string(job.Format) + " is not in the catalogue";
        return plan;
    }
    const std::string source = narrow(job.FileName);
    const std::string folder = outputFolder(narrow(job.Path), globalOutputFolder, programFolder());
    // The converter's arguments end at a NUL byte: it would read another file than the job's
    // and write one the unique-name rule never looked at.
    if (source.find('\0') != std::string::npos || folder.find('\0') != std::string::npos) {
        plan.refusal = "A file name holding a NUL byte cannot be given to the converter";
        return plan;
    }
    plan.outputFolder = folder;
    plan.outputName = outputName(source, catalogue.GetExt(job.Format));
    plan.outputPath = uniquePath(names, plan.outputFolder + plan.outputName, alsoTaken);
    plan.commandLine = converterCommandLine(converter, source, catalogue.GetParams(job.Format), plan.outputPath);
    return plan;
}

}  // namespace clipforge
