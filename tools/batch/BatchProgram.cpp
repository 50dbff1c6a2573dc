#include "BatchProgram.h"

#include "BatchConversion.h"
#include "ListFileTarget.h"
#include "PlannedJobRun.h"
#include "SplitPieceRun.h"
#include "ProfileChoice.h"
#include "WatchRun.h"
#include "core/CommandManager.h"
#include "core/ConvertError.h"
#include "core/DisplayText.h"
#include "core/Errors.h"
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"
#include "engine/AddedProfileStore.h"

#include <ostream>

namespace clipforge {
namespace {

// "./" adds nothing to a name the batch tool reports, so it goes before the name is made absolute.
std::string absolute(const std::string& path)
{
    std::size_t start = 0;
    while (path.compare(start, 2, "./") == 0)
        start += 2;
    return start == 0 ? absolutePath(path) : withTrailingSeparator(currentFolder()) + path.substr(start);
}

BatchConversion::Output conversionOutput(const BatchArguments& arguments)
{
    if (arguments.action == BatchAction::Plan)
        return arguments.raw     ? BatchConversion::Output::RawShellPlan
               : arguments.split ? BatchConversion::Output::SplitShellPlan
                                 : BatchConversion::Output::ShellPlan;
    return arguments.dryRun ? BatchConversion::Output::CommandLines : BatchConversion::Output::Conversion;
}

}  // namespace

int BatchProgram::run(const std::vector<std::string>& arguments)
{
    try {
        return dispatch(parseBatchArguments(arguments));
    } catch (const BatchUsageError& error) {
        complain(error.what());
        err_ << "Try 'clipforge-batch --help'.\n";
    } catch (const clipforge::Error& error) {
        err_ << displayText(error.what()) << '\n';
    } catch (const std::exception& error) {
        complain(error.what());
    }
    return beUnusableInput;
}

int BatchProgram::dispatch(const BatchArguments& arguments)
{
    if (arguments.action == BatchAction::Help) {
        out_ << batchHelp(arguments.helpTopic);
        return beSuccess;
    }
    if (arguments.action == BatchAction::Version) {
        out_ << "clipforge-batch (Norvane Clipforge) " << CLIPFORGE_VERSION << '\n';
        return beSuccess;
    }
    if (arguments.action == BatchAction::Show)
        return show(arguments);
    if (arguments.action == BatchAction::Job && arguments.job.piece)
        return SplitPieceRun(out_, err_).run(arguments.job);
    if (arguments.action == BatchAction::Job)
        return PlannedJobRun(out_, err_).run(arguments.job);
    TCommandManager catalogue(programFolder());
    std::vector<std::string> problems;
    catalogue.ReloadAdded(problems);
    for (const std::string& problem : problems)
        complain(problem);
    switch (arguments.action) {
    case BatchAction::Profiles:
        if (arguments.profilesVerb == "add")
            return addProfile(arguments);
        if (arguments.profilesVerb == "remove")
            return removeProfile(arguments, catalogue);
        return profiles(catalogue);
    case BatchAction::Make:
        return make(arguments, catalogue);
    case BatchAction::Watch:
        return watch(arguments, catalogue);
    default:
        return convert(arguments, catalogue);
    }
}

int BatchProgram::convert(const BatchArguments& arguments, const TCommandManager& catalogue)
{
    if (!requireListFile(arguments.listFile))
        return beUnusableInput;
    const int parts = arguments.action == BatchAction::Plan ? arguments.splitParts : arguments.jobs;
    const SplitOptions split{arguments.split ? parts : 1, arguments.splitMinimum};
    BatchConversion conversion(out_, err_, catalogue, {arguments.jobs, arguments.json, terminalWidth_, arguments.joblog, arguments.resume, arguments.check, split});
    const int code = conversion.run(arguments.listFile, conversionOutput(arguments));
    endingSignal_ = conversion.endingSignal();
    return code;
}

int BatchProgram::watch(const BatchArguments& arguments, const TCommandManager& catalogue)
{
    const ProfileChoice profile = chooseProfile(*arguments.profile, catalogue);
    if (!profile.index) {
        complain(profile.problem);
        return beUnusableInput;
    }
    WatchRun::Options options;
    options.folders = arguments.files;
    options.profile = *profile.index;
    options.outputFolder = arguments.folder;
    options.parallel = arguments.jobs;
    options.json = arguments.json;
    options.liveWidth = terminalWidth_;
    options.check = arguments.check;
    options.settleSeconds = arguments.settleSeconds;
    options.rescanSeconds = arguments.rescanSeconds;
    options.ignored = arguments.ignored;
    options.retryFailed = arguments.retryFailed;
    options.awaitMissingFolders = !arguments.watchConfig.empty();
    WatchRun run(out_, err_, catalogue, options);
    try {
        const int code = run.run();
        endingSignal_ = run.endingSignal();
        return code;
    } catch (const Error& error) {
        complain(error.what());
        return beUnusableInput;
    }
}

int BatchProgram::profiles(const TCommandManager& catalogue)
{
    for (int row = 0; row < catalogue.Count(); ++row) {
        const int i = catalogue.NumberAt(row);
        out_ << i << '\t' << displayText(catalogue.Names()[static_cast<std::size_t>(row)]) << '\t'
             << displayText(catalogue.GetExt(i)) << '\t' << displayText(catalogue.GetParams(i)) << '\n';
    }
    return beSuccess;
}

int BatchProgram::addProfile(const BatchArguments& arguments)
{
    ProfileDraft draft{arguments.profileName, arguments.profileExt, joinArguments(arguments.profileArguments)};
    if (const std::string refusal = refuseDraft(draft); !refusal.empty()) {
        complain(refusal + "; nothing was written");
        return beUnusableInput;
    }
    out_ << AddedProfileStore().add(draft) << '\n';
    return beSuccess;
}

int BatchProgram::removeProfile(const BatchArguments& arguments, const TCommandManager& catalogue)
{
    int id = -1;
    try {
        id = textToInt(arguments.profileId);
    } catch (const EConvertError&) {
    }
    const int row = catalogue.RowOf(id);
    if (row < 0 || catalogue.OriginAt(row) != ProfileOrigin::User || !AddedProfileStore().remove(id)) {
        complain("profile " + arguments.profileId + " is not one of your profiles; nothing was removed");
        return beUnusableInput;
    }
    return beSuccess;
}

int BatchProgram::show(const BatchArguments& arguments)
{
    if (!requireListFile(arguments.listFile))
        return beUnusableInput;
    const std::vector<std::string> noProfiles;
    TItemManager staging;
    TTreeManager tree(noProfiles, staging);
    TSaveManager(tree).ReadList(arguments.listFile);
    for (int row = 0; row < tree.Count(); ++row) {
        const TItemData& job = tree.Job(row).ItemData;
        out_ << row << '\t' << job.Format << '\t' << displayText(narrow(job.Path)) << '\t'
             << displayText(narrow(job.FileName)) << '\n';
    }
    return beSuccess;
}

int BatchProgram::make(const BatchArguments& arguments, const TCommandManager& catalogue)
{
    const ProfileChoice profile = chooseProfile(*arguments.profile, catalogue);
    if (!profile.index) {
        complain(profile.problem);
        return beUnusableInput;
    }
    const ListFileTarget list = listFileTarget(arguments.listFile);
    if (!list.refusal.empty()) {
        complain(list.refusal);
        err_ << "Nothing was written.\n";
        return beUnusableInput;
    }
    std::string folder = arguments.folder.empty() ? std::string() : absolute(arguments.folder);
    if (!folder.empty() && folder.back() != pathSeparator)
        folder += pathSeparator;

    std::vector<std::string> files;
    for (const std::string& file : arguments.files) {
        files.push_back(absolute(file));
        if (!fileExists(files.back())) {
            complain((folderExists(files.back()) ? "not a file, but a folder: " : "no such file: ") + file);
            err_ << "Nothing was written.\n";
            return beUnusableInput;
        }
    }
    TItemManager staging;
    TTreeManager tree(catalogue.Names(), staging);
    for (const std::string& file : files)
        staging.AddItem(file, *profile.index, folder);
    tree.AddJobs(files);
    TSaveManager(tree).WriteList(list.path);
    return beSuccess;
}

bool BatchProgram::requireListFile(const std::string& path)
{
    if (fileExists(path))
        return true;
    complain("no list file at " + path);
    return false;
}

// Every message names its file or argument escaped, so no name can end the line, forge another
// one or drive the terminal.
void BatchProgram::complain(const std::string& message)
{
    err_ << "clipforge-batch: " << displayText(message) << '\n';
}

}  // namespace clipforge
