#pragma once

#include <functional>
#include <string>

class TCommandManager;
class TOverwriteManager;
struct TItemData;

namespace clipforge {

// Everything the driver needs to start one job's converter.
struct JobPlan {
    std::string outputFolder;
    std::string outputName;
    std::string outputPath;  // after the unique-name rule
    std::string commandLine;
};

// Tells whether a path is already spoken for although no file exists there yet (a dry run's
// earlier jobs). Files that exist always count.
using NameTaken = std::function<bool(const std::string& path)>;

// Output folder, output name, unique output path and command line of job; names remembers the
// output path as taken. EListError, before anything else is worked out, when the job's profile
// is not in the catalogue; clipforge::Error, with the reason, when the profile is unusable
// (an extension or arguments that cannot be handed over safely), when the source or folder
// holds a NUL byte, or when no free output name fits the folder.
JobPlan planJob(const TItemData& job, const TCommandManager& catalogue, TOverwriteManager& names,
                const std::string& converter, const NameTaken& alsoTaken = {});

}  // namespace clipforge
