#pragma once

#include "PlannedJob.h"

#include <optional>
#include <string>
#include <vector>

namespace clipforge {

enum class BatchAction { Help, Version, Profiles, Show, Make, Convert, Plan, Job, Watch };

// What one call of clipforge-batch asks for. Arguments stay bytes: file names are passed on
// exactly as the shell gave them.
struct BatchArguments {
    BatchAction action = BatchAction::Help;
    std::string helpTopic;  // the command whose help was asked for; empty for the overview
    std::string listFile;
    std::optional<std::string> profile;
    std::string folder;
    std::vector<std::string> files;
    bool dryRun = false;
    int jobs = 1;       // converters at once; "--jobs auto" gives the number of cores
    bool json = false;  // JSON Lines instead of text lines
    std::string joblog;  // where convert journals its jobs; empty for none
    bool resume = false; // go on from the joblog: jobs it shows finished are not run again
    bool raw = false;   // plan: the bare converter's commands
    CheckMode check = CheckMode::Streams;  // convert, plan: how outputs are checked
    bool split = false;          // convert, plan: long jobs in parts over the workers, or over lines
    double splitMinimum = 120;   // convert, plan: the shortest source that splits, in seconds
    int splitParts = 4;          // plan --split: the most parts a job is cut into
    PlannedJob job;     // job: the one job to convert
    // profiles add / remove: the verb ("" lists), the new profile, the profile to remove.
    std::string profilesVerb;
    std::string profileName;
    std::string profileExt;
    std::vector<std::string> profileArguments;
    std::string profileId;
    // watch: the folders (in files), how long a file must stay unchanged, how often every
    // folder is looked through, names left alone, and whether failed files are tried again.
    double settleSeconds = 10;
    double rescanSeconds = 60;
    std::vector<std::string> ignored;
    bool retryFailed = false;
    std::string watchConfig;  // the --config file the watch's settings came from, if any
};

// Thrown for a call that makes no sense; the message says what is wrong in plain words.
class BatchUsageError : public std::exception {
public:
    explicit BatchUsageError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

BatchArguments parseBatchArguments(const std::vector<std::string>& arguments);

// Reads the value of the option at arguments[i] when it is name, given as "--name VALUE" (i
// moves on to the value) or "--name=VALUE"; false when it is another option.
bool takeOption(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
                std::optional<std::string>& value);
// The most parts a split plan cuts a job into.
inline constexpr int MostSplitParts = 64;
// The seconds --split-min gives; BatchUsageError when too few or not a number.
double splitSeconds(const std::string& text);
// A number of split parts (--parts, --split-part) from least to the most there may be;
// BatchUsageError naming option otherwise.
int partNumber(const std::string& text, const std::string& option, int least);

// The help text for topic ("" for the overview, else a command name).
std::string batchHelp(const std::string& topic);

}  // namespace clipforge
