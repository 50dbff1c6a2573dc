#pragma once

#include <functional>
#include <string>

class TCommandManager;
class TOverwriteManager;
struct TItemData;

namespace clipforge {

// Everything the driver needs to start one job's converter, or why the job cannot have one.
struct JobPlan {
    std::string outputFolder;
    std::string outputName;
    std::string outputPath;  // after the unique-name rule
    // The command line with outputPath last: what the user is shown, as it names what they get.
    std::string commandLine;
    // Why this job cannot be given to the converter, in plain words; empty when it can. Such a
    // job fails without a process, with this as its reason, and the run goes on.
    std::string refusal;

    bool refused() const { return !refusal.empty(); }
    // The same command line with the converter writing to output instead (a private folder's
    // file, committed under outputPath only when whole).
    std::string commandLineWritingTo(const std::string& output) const;

    // What the command line is made of.
    std::string converter;
    std::string source;
    std::string params;  // the profile's
    std::string ext;     // the profile's
};

// Tells whether a path is already spoken for although no file exists there yet (a dry run's
// earlier jobs). Files that exist always count.
using NameTaken = std::function<bool(const std::string& path)>;

// Output folder, output name, unique output path and command line of job; names remembers the
// output path as taken for the rest of the run. chosenName, when given, is the output name to
// start from instead of the one made from the source and the profile: a name picked earlier (by
// a plan), still moved on to the next free one when it is taken. Or, with nothing else worked out, the refusal of
// a job whose profile is not in the catalogue or is unusable (an extension or arguments that
// cannot be handed over safely), whose source or folder holds a NUL byte, or for which no free
// output name fits the folder.
JobPlan planJob(const TItemData& job, const TCommandManager& catalogue, TOverwriteManager& names,
                const std::string& converter, const NameTaken& alsoTaken = {}, const std::string& chosenName = {});

}  // namespace clipforge
