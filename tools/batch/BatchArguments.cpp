#include "BatchArguments.h"

#include "WatchConfig.h"

#include "engine/Decimals.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <thread>

namespace clipforge {
namespace {

const std::map<std::string, BatchAction> Actions{
    {"profiles", BatchAction::Profiles},
    {"show", BatchAction::Show},
    {"make", BatchAction::Make},
    {"convert", BatchAction::Convert},
    {"plan", BatchAction::Plan},
    {"job", BatchAction::Job},
    {"watch", BatchAction::Watch},
};

const char* const OverviewHelp =
    "Usage: clipforge-batch COMMAND [ARGUMENTS]\n"
    "Converts video files with the catalogue's profiles, without a window.\n"
    "\n"
    "Commands:\n"
    "  profiles                 list the profiles of the catalogue\n"
    "  profiles add --name NAME --ext EXT -- ARGS...\n"
    "                           add a profile of your own\n"
    "  profiles remove ID       remove one of your profiles\n"
    "  show LIST.kxl            list the jobs of a list file\n"
    "  make LIST.kxl --profile P [--folder DIR] FILE...\n"
    "                           write a list file with one job per FILE\n"
    "  convert LIST.kxl [--jobs N|auto] [--json] [--dry-run] [--joblog FILE [--resume]]\n"
    "                [--check streams|full|warn|off] [--split [--split-min SECONDS]]\n"
    "                           convert every job of a list file\n"
    "  plan LIST.kxl [--raw] [--check MODE] [--split [--split-min SECONDS] [--parts K]]\n"
    "                           print one shell command per job, for GNU parallel or a\n"
    "                           batch scheduler\n"
    "  job --source FILE ...    convert the one job a line of a plan describes\n"
    "  watch FOLDER... --profile P [--folder DIR] [--jobs N] [--check MODE] [--json]\n"
    "                           convert every video in the folders and every one that\n"
    "                           arrives later, once each, until ended\n"
    "\n"
    "Run 'clipforge-batch COMMAND --help' for the details of one command;\n"
    "'clipforge-batch --version' prints the version.\n";

const std::map<std::string, const char*> CommandHelp{
    {"profiles",
     "Usage: clipforge-batch profiles\n"
     "       clipforge-batch profiles add --name NAME --ext EXT -- ARGS...\n"
     "       clipforge-batch profiles remove ID\n"
     "Prints one line per profile: number, display name, extension and converter arguments,\n"
     "separated by tabs. The shipped profiles (the file 'command' in the program folder) come\n"
     "first, numbered from 0; then those added for every user (/etc/clipforge/profiles), marked\n"
     "\"[system]\", and your own (~/.config/clipforge/profiles), marked \"[mine]\", each numbered\n"
     "by an id of 1048576 or more that is never given again.\n"
     "'add' makes one of your profiles with the converter arguments ARGS (\"-n\" is put first when\n"
     "missing) and prints its number; 'remove' removes one of yours. A name that is empty or\n"
     "holds control characters, an extension other than 1 to 16 letters, digits, \".\", \"-\",\n"
     "\"_\" or \"+\", and arguments holding -y are refused with exit code 2, and nothing is written.\n"},
    {"show",
     "Usage: clipforge-batch show LIST.kxl\n"
     "Prints one line per job of the list file: index (from 0), profile index, output folder\n"
     "and source file, separated by tabs, exactly as the file holds them, except that control\n"
     "characters are escaped (\\n, \\r, \\t, \\x1b ...) so that every job is one line.\n"
     "Exit code 2 when the file is missing or cannot be read as a list.\n"},
    {"make",
     "Usage: clipforge-batch make LIST.kxl --profile P [--folder DIR] [--] FILE...\n"
     "Writes a list file with one job per FILE, in the order given, all with profile P\n"
     "and output folder DIR. P is a profile's number or exact name as 'clipforge-batch\n"
     "profiles' prints them, or an extension only one profile has (mp3, .flac).\n"
     "The first argument that is not an option is always the list file; every later one is\n"
     "a FILE. Options may stand anywhere. A list name without \".kxl\" gets it appended.\n"
     "Without --folder the jobs use the default output folder: 'convert' in the program\n"
     "folder, or Clipforge in the user's videos folder when that one cannot be written.\n"
     "Relative names are made absolute. Every FILE must exist; otherwise nothing is written.\n"
     "Only list files are ever replaced: a LIST that names a folder, a device, a FIFO, or a\n"
     "file that does not read as a list is refused, as is a name without \".kxl\" where\n"
     "something already exists (it was most likely meant as a FILE). Exit code 2 then,\n"
     "and nothing is written.\n"
     "Use -- before file names that begin with a dash.\n"},
    {"convert",
     "Usage: clipforge-batch convert LIST.kxl [--jobs N|auto] [--json] [--dry-run]\n"
     "                                [--joblog FILE [--resume]] [--check streams|full|warn|off]\n"
     "                                [--split [--split-min SECONDS]]\n"
     "Converts every job of the list file, starting them in list order, and prints one line per\n"
     "job as it ends (index, finished or failed, the converter's exit code, output file), then a\n"
     "summary. With one converter at a time the lines come in list order; with more, in the\n"
     "order the jobs end. On a terminal a status line shows each running job's progress.\n"
     "Each failed job's reason follows its line on standard error, as one line.\n"
     "A job finishes only when the converter ends with code 0 and leaves a non-empty output\n"
     "that holds what its source holds: every video and sound stream the profile keeps, each\n"
     "playing as long as the source's (or as long as the profile asks) and starting with it,\n"
     "judged from the packets of both files, never from a header.\n"
     "The converter writes into a hidden folder beside the output, so the output appears under\n"
     "its name only when whole; a failed or stopped job leaves nothing behind.\n"
     "Nothing at an output name is ever overwritten (a file, a folder, a link, a device): the\n"
     "output gets \"_2\" before its extension instead, and no two running jobs get the same name.\n"
     "  --jobs N    run up to N converters at once (default 1); auto: one per core\n"
     "  --json      print JSON Lines, one object per event, instead (see the README)\n"
     "  --dry-run   print the converter's command line for every job instead of running it\n"
     "  --joblog FILE  append one JSON line per job event to FILE (see the README); the first\n"
     "              line names the list, and FILE is never used for another list\n"
     "  --resume    with --joblog: go on where an interrupted run stopped; jobs the joblog shows\n"
     "              finished, whose output is still there, are skipped and counted as such\n"
     "  --check MODE  streams (the default): an output that fails the check fails its job;\n"
     "              full: streams, then every picture and sound of the output is decoded;\n"
     "              warn: the job finishes and the reason is printed as a warning; off: no check\n"
     "  --split     with --jobs N: a job whose source plays at least --split-min seconds (120\n"
     "              unless given, 10 at least) is cut at key frames into up to N parts, converted\n"
     "              side by side with its sound converted once beside them, then joined without\n"
     "              re-encoding and checked as any output. Jobs that cannot be cut exactly (stream\n"
     "              copies, profiles that set a frame rate, variable frame rates...) run whole\n"
     "Control characters in names are printed escaped, as 'show' does.\n"
     "Ctrl-C stops the run: the converters are ended and the running jobs count as failed.\n"
     "SIGTERM, SIGQUIT, SIGHUP (unless started with it ignored, as nohup does) and a closed\n"
     "standard output stop it the same way.\n"
     "Exit code 0 when every job finished, 1 when any failed, 2 for unusable input,\n"
     "130 when the run was stopped.\n"},
    {"plan",
     "Usage: clipforge-batch plan LIST.kxl [--raw] [--check streams|full|warn|off]\n"
     "                               [--split [--split-min SECONDS] [--parts K]]\n"
     "Prints one POSIX shell command per job, for another engine to run, for example on several\n"
     "machines that see the same paths:\n"
     "  clipforge-batch plan queue.kxl > plan.sh\n"
     "  parallel --sshloginfile hosts --joblog jobs.log < plan.sh\n"
     "Each command runs the program folder's clipforge-batch job with everything the job needs\n"
     "written into it (source, the profile's arguments and extension, output folder and name),\n"
     "so it converts exactly as convert would: the same checks, reasons and exit code, and an\n"
     "output that never replaces anything. Output names are chosen now, as a run would choose\n"
     "them: files that exist and earlier jobs' outputs count as taken.\n"
     "  --raw   print the bare converter's command instead, its input from /dev/null; nothing\n"
     "          checks or removes what it writes, and its exit code is the converter's\n"
     "  --check MODE  how each line checks its output (see convert); the default is left unsaid\n"
     "  --split  a job whose source plays at least --split-min seconds (120 unless given) gets\n"
     "          one line for its sound and one per part of its pictures (--parts K, 4 unless\n"
     "          given, fewer where a part would be shorter than half of --split-min), to run\n"
     "          in any order, anywhere; the line that finds every piece there joins, checks and\n"
     "          commits the job. The pieces wait in .clipforge-split.PLAN.INDEX in the output\n"
     "          folder; run the lines again to redo only what is missing\n"
     "A job that cannot be planned (a profile the catalogue lacks, a name with a line break)\n"
     "is left out with a message. Exit code 0 when every job is planned, 1 when one is left\n"
     "out, 2 for unusable input.\n"},
    {"job",
     "Usage: clipforge-batch job --source FILE --params ARGS --ext EXT --folder DIR --name NAME\n"
     "                           [--index N] [--check streams|full|warn|off]\n"
     "                           [--plan-id ID --split-part K|sound --parts K --split-min S]\n"
     "Converts one job, as a line of 'clipforge-batch plan' describes it: FILE with the\n"
     "converter arguments ARGS into DIR/NAME, NAME being the output name the plan chose (EXT\n"
     "is the profile's extension). When something is at DIR/NAME by then, the output takes the\n"
     "next free name instead and a message says so. Prints the job's line as convert does,\n"
     "with N (default 0) as its index; a failed job's reason goes to standard error.\n"
     "With --split-part, converts one piece of a split job (see plan --split) and joins the\n"
     "job when every piece is there; it prints the job's line only when it committed the job.\n"
     "Exit code 0 when the job finished, 1 when it failed, 2 for unusable arguments, 130 when\n"
     "Ctrl-C, SIGTERM, SIGQUIT or SIGHUP stopped it; a piece's line also 0 when its piece is\n"
     "there or its job already committed.\n"},
    {"watch",
     "Usage: clipforge-batch watch FOLDER... --profile P [--folder DIR] [--jobs N|auto]\n"
     "         [--check streams|full|warn|off] [--json] [--settle SECONDS] [--rescan SECONDS]\n"
     "         [--ignore GLOB]... [--retry-failed]\n"
     "       clipforge-batch watch --config FILE [OPTIONS]\n"
     "Converts every video file in the FOLDERs and their subfolders (the video extensions of the\n"
     "Add dialog, in any letter case), those there at the start and every one that arrives later,\n"
     "each once, as convert converts a job: the same output names, checks, reasons, text lines\n"
     "and --json events, plus watch-started, file-seen and file-waiting (see the README). It\n"
     "runs until it is ended. P is a profile as for make; DIR (default: the default output\n"
     "folder) is made when missing and is never watched, even inside a FOLDER.\n"
     "A file is taken only when whole: once it was closed after writing or moved in, neither\n"
     "its size nor its modification time changed for the settle time, and nobody has it open\n"
     "for writing (where the system can tell: not on network folders, not for others' files).\n"
     "Hidden names and the names of unfinished downloads (.part, .partial, .crdownload,\n"
     ".download, .filepart, .opdownload, .tmp, .!qB, a NAME.aria2 beside it) wait until renamed.\n"
     "What was converted, and what failed, is kept in ~/.local/state/clipforge/watch/ per\n"
     "folder and profile: a restart converts nothing twice; a file changed since is converted\n"
     "again, to the next free name. Sources are never moved, changed or removed.\n"
     "A FOLDER that is removed, unmounted or not readable any more is said so and watched again\n"
     "when it is back; what was converted from it is kept meanwhile.\n"
     "  --settle SECONDS  how long a file must stay unchanged (default 10)\n"
     "  --rescan SECONDS  how often every folder is looked through for what no notice told of\n"
     "              (default 60; network folders send none)\n"
     "  --ignore GLOB     leave names matching GLOB alone too (\"*.raw.mkv\"); may be repeated\n"
     "  --retry-failed    try files that failed before again, though they have not changed\n"
     "  --config FILE     read key=value lines: watch=FOLDER (one a line), profile=, output=\n"
     "              (DIR), jobs=, check=, settle=, rescan=, ignore=; folders absolute or ~/...;\n"
     "              a FOLDER of the file that is not there yet is waited for (see the README\n"
     "              for the systemd user unit clipforge-watch@NAME, which reads NAME.conf)\n"
     "  --jobs, --check, --json  as for convert\n"
     "Ctrl-C, SIGTERM, SIGQUIT and SIGHUP end it as they stop convert: the running jobs are\n"
     "stopped and leave nothing behind (they are converted at the next start); exit code 130.\n"
     "Exit code 2 for unusable arguments or --config file, a missing folder, an output folder\n"
     "that cannot be made, and when another clipforge-batch watches the same folder with the\n"
     "same profile.\n"},
};

bool isHelp(const std::string& argument)
{
    return argument == "--help" || argument == "-h";
}

int jobCount(const std::string& text)
{
    if (text == "auto")
        return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    int count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1)
        throw BatchUsageError("--jobs needs a number of converters (1 or more) or auto, not \"" + text + "\"");
    return count;
}

void parseCommandArguments(const std::vector<std::string>& arguments, BatchArguments& result,
                           const std::string& command)
{
    std::vector<std::string> positional;
    std::optional<std::string> folder;
    std::optional<std::string> jobs;
    std::optional<std::string> joblog;
    std::optional<std::string> check;
    std::optional<std::string> splitMinimum;
    std::optional<std::string> parts;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (command == "convert" && argument == "--dry-run") {
            result.dryRun = true;
        } else if (command == "convert" && argument == "--json") {
            result.json = true;
        } else if (command == "convert" && takeOption(arguments, i, "--jobs", jobs)) {
            result.jobs = jobCount(*jobs);
        } else if ((command == "convert" || command == "plan") && argument == "--split") {
            result.split = true;
        } else if ((command == "convert" || command == "plan") && takeOption(arguments, i, "--split-min", splitMinimum)) {
            result.splitMinimum = splitSeconds(*splitMinimum);
        } else if (command == "plan" && takeOption(arguments, i, "--parts", parts)) {
            result.splitParts = partNumber(*parts, "--parts", 2);
        } else if (command == "convert" && argument == "--resume") {
            result.resume = true;
        } else if (command == "convert" && takeOption(arguments, i, "--joblog", joblog)) {
            if (joblog->empty())
                throw BatchUsageError("--joblog needs a file name");
            result.joblog = *joblog;
        } else if ((command == "convert" || command == "plan") && takeOption(arguments, i, "--check", check)) {
            result.check = checkModeValue(*check);
        } else if (command == "plan" && argument == "--raw") {
            result.raw = true;
        } else if (command == "make" && takeOption(arguments, i, "--profile", result.profile)) {
        } else if (command == "make" && takeOption(arguments, i, "--folder", folder)) {
        } else {
            throw BatchUsageError("unknown option for " + command + ": " + argument);
        }
    }
    result.folder = folder.value_or("");
    if (splitMinimum && !result.split)
        throw BatchUsageError("--split-min needs --split");
    if (parts && !result.split)
        throw BatchUsageError("--parts needs --split");
    if (result.split && result.raw)
        throw BatchUsageError("--raw prints one converter command per job, so it cannot --split");
    if (result.resume && result.joblog.empty())
        throw BatchUsageError("--resume needs --joblog FILE: the joblog is what it resumes from");
    if (result.dryRun && !result.joblog.empty())
        throw BatchUsageError("--dry-run runs nothing, so there is nothing to journal with --joblog");
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

double secondsValue(const std::string& option, const std::string& text, double least)
{
    const std::optional<double> seconds = decimalValue(text);
    if (!seconds || !(*seconds >= least) || *seconds > 86400 * 365)
        throw BatchUsageError(option + " needs a number of seconds" + (least > 0 ? " above 0" : "") + ", not \"" +
                              text + "\"");
    return *seconds;
}

void readWatchConfigInto(const std::string& path, BatchArguments& result);

// The watch option at arguments[i], with its value; false when it is none.
bool takeWatchOption(const std::vector<std::string>& arguments, std::size_t& i, BatchArguments& result)
{
    std::optional<std::string> value;
    const std::string& argument = arguments[i];
    if (argument == "--json") {
        result.json = true;
    } else if (argument == "--retry-failed") {
        result.retryFailed = true;
    } else if (takeOption(arguments, i, "--profile", result.profile)) {
    } else if (takeOption(arguments, i, "--folder", value)) {
        result.folder = *value;
    } else if (takeOption(arguments, i, "--jobs", value)) {
        result.jobs = jobCount(*value);
    } else if (takeOption(arguments, i, "--check", value)) {
        result.check = checkModeValue(*value);
    } else if (takeOption(arguments, i, "--settle", value)) {
        result.settleSeconds = secondsValue("--settle", *value, 0);
    } else if (takeOption(arguments, i, "--rescan", value)) {
        result.rescanSeconds = secondsValue("--rescan", *value, 0.001);
    } else if (takeOption(arguments, i, "--ignore", value)) {
        result.ignored.push_back(*value);
    } else if (takeOption(arguments, i, "--config", value)) {
        readWatchConfigInto(*value, result);
    } else {
        return false;
    }
    return true;
}

// A configuration file's lines count as the options they stand for, in their place.
void readWatchConfigInto(const std::string& path, BatchArguments& result)
{
    if (!result.watchConfig.empty())
        throw BatchUsageError("watch takes one --config FILE");
    result.watchConfig = path;
    for (const WatchConfigLine& line : readWatchConfig(path)) {
        if (line.option.empty()) {
            result.files.push_back(line.value);
            continue;
        }
        const std::vector<std::string> option{line.option + "=" + line.value};
        std::size_t i = 0;
        try {
            takeWatchOption(option, i, result);
        } catch (const BatchUsageError& error) {
            throw BatchUsageError(path + " line " + std::to_string(line.number) + ": " + error.what());
        }
    }
}

void parseWatchArguments(const std::vector<std::string>& arguments, BatchArguments& result)
{
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-")
            result.files.push_back(argument);
        else if (argument == "--")
            optionsEnded = true;
        else if (!takeWatchOption(arguments, i, result))
            throw BatchUsageError("unknown option for watch: " + argument);
    }
    if (result.files.empty())
        throw BatchUsageError("watch needs at least one folder");
    if (!result.profile)
        throw BatchUsageError("watch needs --profile P");
}

void parseProfilesArguments(const std::vector<std::string>& arguments, BatchArguments& result)
{
    if (arguments.size() < 2)
        return;
    result.profilesVerb = arguments[1];
    if (result.profilesVerb == "remove") {
        if (arguments.size() != 3)
            throw BatchUsageError("profiles remove needs one profile number");
        result.profileId = arguments[2];
        return;
    }
    if (result.profilesVerb != "add")
        throw BatchUsageError("unexpected argument for profiles: " + arguments[1]);
    std::optional<std::string> name;
    std::optional<std::string> ext;
    std::size_t i = 2;
    for (; i < arguments.size() && arguments[i] != "--"; ++i) {
        if (!takeOption(arguments, i, "--name", name) && !takeOption(arguments, i, "--ext", ext))
            throw BatchUsageError("unknown argument for profiles add: " + arguments[i] +
                                  " (the converter's arguments follow --)");
    }
    if (!name || !ext)
        throw BatchUsageError("profiles add needs --name NAME and --ext EXT");
    result.profileName = *name;
    result.profileExt = *ext;
    if (i < arguments.size())
        result.profileArguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
}

}  // namespace

// Shorter parts would spend more on starting and on the key frame each seeks back to than they
// gain.
constexpr double ShortestSplitMinimum = 10;

int partNumber(const std::string& text, const std::string& option, int least)
{
    int number = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < least || number > MostSplitParts)
        throw BatchUsageError(option + " needs a number from " + std::to_string(least) + " to " +
                              std::to_string(MostSplitParts) + ", not \"" + text + "\"");
    return number;
}

double splitSeconds(const std::string& text)
{
    const std::optional<double> seconds = decimalValue(text);
    if (!seconds || !(*seconds >= ShortestSplitMinimum))
        throw BatchUsageError("--split-min needs a number of seconds, 10 or more, not \"" + text + "\"");
    return *seconds;
}

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

BatchArguments parseBatchArguments(const std::vector<std::string>& arguments)
{
    BatchArguments result;
    if (arguments.empty())
        throw BatchUsageError("no command given");
    const std::string& command = arguments.front();
    if (command == "--version") {
        result.action = BatchAction::Version;
        return result;
    }
    if (isHelp(command) || command == "help") {
        result.helpTopic = arguments.size() > 1 && Actions.count(arguments[1]) ? arguments[1] : "";
        return result;
    }
    const auto action = Actions.find(command);
    if (action == Actions.end())
        throw BatchUsageError("unknown command: " + command);
    // A job's values are names and converter arguments, which may well read "-h".
    const std::size_t helpScanEnd = action->second == BatchAction::Job ? std::min<std::size_t>(arguments.size(), 2)
                                                                       : arguments.size();
    for (std::size_t i = 1; i < helpScanEnd && arguments[i] != "--"; ++i) {
        if (isHelp(arguments[i])) {
            result.helpTopic = command;
            return result;
        }
    }
    result.action = action->second;
    if (result.action == BatchAction::Profiles)
        parseProfilesArguments(arguments, result);
    else if (result.action == BatchAction::Job)
        result.job = parsePlannedJob(arguments);
    else if (result.action == BatchAction::Watch)
        parseWatchArguments(arguments, result);
    else
        parseCommandArguments(arguments, result, command);
    return result;
}

std::string batchHelp(const std::string& topic)
{
    const auto help = CommandHelp.find(topic);
    return help == CommandHelp.end() ? OverviewHelp : help->second;
}

}  // namespace clipforge
