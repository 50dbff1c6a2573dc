#include "BatchArguments.h"

#include <map>

namespace clipforge {
namespace {

const std::map<std::string, BatchAction> Actions{
    {"profiles", BatchAction::Profiles},
    {"show", BatchAction::Show},
    {"make", BatchAction::Make},
    {"convert", BatchAction::Convert},
};

const char* const OverviewHelp =
    "Usage: clipforge-batch COMMAND [ARGUMENTS]\n"
    "Converts video files with the profiles of the program folder, without a window.\n"
    "\n"
    "Commands:\n"
    "  profiles                 list the profiles of the catalogue\n"
    "  show LIST.kxl            list the jobs of a list file\n"
    "  make LIST.kxl --profile N [--folder DIR] FILE...\n"
    "                           write a list file with one job per FILE\n"
    "  convert LIST.kxl [--dry-run]\n"
    "                           convert every job of a list file, one after another\n"
    "\n"
    "Run 'clipforge-batch COMMAND --help' for the details of one command.\n";

const std::map<std::string, const char*> CommandHelp{
    {"profiles",
     "Usage: clipforge-batch profiles\n"
     "Prints one line per profile of the catalogue (the file 'command' in the program folder):\n"
     "index, display name, extension and converter arguments, separated by tabs.\n"},
    {"show",
     "Usage: clipforge-batch show LIST.kxl\n"
     "Prints one line per job of the list file: index (from 0), profile index, output folder\n"
     "and source file, separated by tabs, exactly as the file holds them.\n"
     "Exit code 2 when the file is missing or cannot be read as a list.\n"},
    {"make",
     "Usage: clipforge-batch make LIST.kxl --profile N [--folder DIR] [--] FILE...\n"
     "Writes a list file with one job per FILE, in the order given, all with profile N\n"
     "(an index printed by 'clipforge-batch profiles') and output folder DIR.\n"
     "Without --folder the jobs use the default output folder: 'convert' in the program\n"
     "folder, or Clipforge in the user's videos folder when that one cannot be written.\n"
     "Relative names are made absolute. Every FILE must exist; otherwise nothing is written.\n"
     "Use -- before file names that begin with a dash.\n"},
    {"convert",
     "Usage: clipforge-batch convert LIST.kxl [--dry-run]\n"
     "Converts every job of the list file, one after another, and prints one line per job as it\n"
     "ends (index, finished or failed, the converter's exit code, output file), then a summary.\n"
     "Each failed job's reason follows its line on standard error, as one line.\n"
     "A job finishes only when the converter ends with code 0 and leaves a non-empty output;\n"
     "what a failed or stopped job's converter wrote under the output name is removed.\n"
     "An existing file is never overwritten: the output gets \"_2\" before its extension.\n"
     "  --dry-run   print the converter's command line for every job instead of running it\n"
     "Ctrl-C stops the run: the converter is ended and the current job counts as failed.\n"
     "Exit code 0 when every job finished, 1 when any failed, 2 for unusable input,\n"
     "130 when Ctrl-C or SIGTERM stopped the run.\n"},
};

bool isHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h";
}

// Reads the value of an option given as "--name VALUE" or "--name=VALUE"; false when argument
// is not that option.
bool takeOption(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
                std::optional<std::string>& value)
{
    const std::string& argument = arguments[i];
    if (argument.rfind(name + "=", 0) == 0) {
        value = argument.substr(name.size() + 1);
        return true;
    }
    if (argument != name)
        return false;
    if (++i >= arguments.size())
        throw BatchUsageError("the option " + name + " needs a value");
    value = arguments[i];
    return true;
}

void parseCommandArguments(const std::vector<std::string>& arguments, BatchArguments& result,
                           const std::string& command)
{
    std::vector<std::string> positional;
    std::optional<std::string> folder;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (command == "convert" && argument == "--dry-run") {
            result.dryRun = true;
        } else if (command == "make" && takeOption(arguments, i, "--profile", result.profile)) {
        } else if (command == "make" && takeOption(arguments, i, "--folder", folder)) {
        } else {
            throw BatchUsageError("unknown option for " + command + ": " + argument);
        }
    }
    result.folder = folder.value_or("");
    if (result.action != BatchAction::Profiles) {
        if (positional.empty())
            throw BatchUsageError(command + " needs a list file");
        result.listFile = positional.front();
        positional.erase(positional.begin());
    }
    if (result.action == BatchAction::Make) {
        if (!result.profile)
            throw BatchUsageError("make needs --profile N");
        if (positional.empty())
            throw BatchUsageError("make needs at least one video file");
        result.files = std::move(positional);
    } else if (!positional.empty()) {
        throw BatchUsageError("unexpected argument for " + command + ": " + positional.front());
    }
}

}  // namespace

BatchArguments parseBatchArguments(const std::vector<std::string>& arguments)
{
    BatchArguments result;
    if (arguments.empty())
        throw BatchUsageError("no command given");
    const std::string& command = arguments.front();
    if (isHelp(command) || command == "help") {
        result.helpTopic = arguments.size() > 1 && Actions.count(arguments[1]) ? arguments[1] : "";
        return result;
    }
    const auto action = Actions.find(command);
    if (action == Actions.end())
        throw BatchUsageError("unknown command: " + command);
    for (std::size_t i = 1; i < arguments.size() && arguments[i] != "--"; ++i) {
        if (isHelp(arguments[i])) {
            result.helpTopic = command;
            return result;
        }
    }
    result.action = action->second;
    parseCommandArguments(arguments, result, command);
    return result;
}

std::string batchHelp(const std::string& topic)
{
    const auto help = CommandHelp.find(topic);
    return help == CommandHelp.end() ? OverviewHelp : help->second;
}

}  // namespace clipforge
