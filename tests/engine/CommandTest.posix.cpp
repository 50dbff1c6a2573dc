#include "core/CommandManager.h"
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/Paths.h"
#include "core/TreeManager.h"
#include "core/WriterLock.h"
#include "engine/Command.h"
#include "engine/ConsoleRunner.h"
#include "engine/StartFailureReporter.h"
#include "ForcedLinkCommit.h"
#include "support/FakeConverter.h"
#include "support/Files.h"
#include "support/Processes.h"
#include "support/Wait.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

using namespace clipforge::test;

namespace {

const char* const Catalogue = R"(<?xml version="1.0"?>
<commands>
<profile><format>Fake</format><params>-n</params><ext>out</ext></profile>
</commands>
)";

struct Progress {
    QObject* sender;
    int percent;
};

class CommandTest : public ::testing::Test {
protected:
    QTemporaryDir programFolder;
    QTemporaryDir sources;
    std::vector<std::string> failures;
    clipforge::StartFailureReporter previousReporter;
    std::unique_ptr<TCommandManager> catalogue;
    TItemManager staging;
    std::unique_ptr<TTreeManager> tree;
    std::unique_ptr<TCommand> command;
    std::vector<Progress> progress;
    std::vector<bool> finished;
    QObject* finishedSender = nullptr;
    bool lockedAtProgress = false;

    void SetUp() override
    {
        const std::string folder = programFolder.path().toStdString() + "/";
        clipforge::setProgramFolderForTesting(folder);
        ASSERT_TRUE(installFakeConverter(folder));  // it plays what each source's name asks
        writeFile(folder + "command", Catalogue);
        previousReporter = clipforge::setStartFailureReporter([this](const std::string& message) {
            failures.push_back(message);
        });
        createDriver();
    }
    // A driver, job list and catalogue read afresh from the program folder.
    void createDriver()
    {
        command.reset();
        tree.reset();
        catalogue = std::make_unique<TCommandManager>(programFolder.path().toStdString() + "/");
        tree = std::make_unique<TTreeManager>(catalogue->Names(), staging);
        command = std::make_unique<TCommand>(*tree, *catalogue);
        command->OnProgress = [this](QObject* sender, int percent) {
            progress.push_back({sender, percent});
            lockedAtProgress = tree->Locked() && command->ListLocked();
        };
        command->OnFinished = [this](QObject* sender, bool stopped) {
            finished.push_back(stopped);
            finishedSender = sender;
        };
    }
    void TearDown() override
    {
        command.reset();
        clipforge::setStartFailureReporter(previousReporter);
        clipforge::setProgramFolderForTesting("");
    }

    std::string source(const std::string& name) const { return sources.filePath(QString::fromStdString(name)).toStdString(); }
    std::string output(const std::string& name) const { return programFolder.filePath("convert/" + QString::fromStdString(name)).toStdString(); }
    void addJobs(const std::vector<std::string>& names, int format = 0)
    {
        std::vector<TItemData> jobs;
        for (const std::string& name : names)
            jobs.push_back({clipforge::widen(source(name)), format, {}, false, 0});
        tree->AppendJobs(std::move(jobs));
    }
    std::vector<int> states() const
    {
        std::vector<int> result;
        for (int row = 0; row < tree->Count(); ++row)
            result.push_back(tree->Job(row).State);
        return result;
    }
    std::vector<int> percents() const
    {
        std::vector<int> result;
        for (const Progress& p : progress)
            result.push_back(p.percent);
        return result;
    }
    bool runToTheEnd()
    {
        command->Start();
        return waitFor([this] { return !finished.empty(); });
    }
    std::vector<std::string> outputFolderEntries() const
    {
        std::vector<std::string> names;
        const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        for (const QString& name : QDir(programFolder.filePath("convert")).entryList(filter, QDir::Name))
            names.push_back(name.toStdString());
        return names;
    }
    // Waits until the hanging job's converter has really started.
    bool waitForHangingConverter(const std::string& name)
    {
        return waitFor([&] { return !readFile(source(name) + ".pid").empty(); });
    }
};

}  // namespace

TEST_F(CommandTest, ARunConvertsEveryJobAndEndsCompleted)
{
    addJobs({"a.avi", "b.mpg", "c"});
    std::vector<int> focused;
    QObject::connect(tree.get(), &TTreeManager::nodeFocusRequested, [&](int row) { focused.push_back(row); });
    std::map<int, bool> shownBusy;  // what a view shows: it reads a row only when told it changed
    QObject::connect(tree.get(), &QAbstractItemModel::dataChanged, [&](const QModelIndex& first, const QModelIndex& last) {
        for (int row = first.row(); row <= last.row(); ++row)
            shownBusy[row] = tree->index(row, 1).data(TTreeManager::BusyRole).toBool();
    });
    ASSERT_TRUE(runToTheEnd());

    EXPECT_EQ(states(), (std::vector<int>{jsFinished, jsFinished, jsFinished}));
    EXPECT_EQ(percents(), (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(progress[0].sender, &command->Runner());
    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_EQ(finishedSender, &command->Runner());
    EXPECT_EQ(focused, (std::vector<int>{0, 1, 2}));
    for (const char* name : {"a.out", "b.out", "c.out"})
        EXPECT_EQ(readFile(output(name)), "converted") << name;
    EXPECT_TRUE(command->Stopped());
    EXPECT_FALSE(command->ListLocked());
    EXPECT_FALSE(tree->Locked());
    EXPECT_TRUE(lockedAtProgress);
    EXPECT_EQ(command->CurrentIndex(), 0u);
    EXPECT_EQ(command->ElapsedSeconds(), 0);
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(tree->Job(row).ItemData.Busy);
        EXPECT_EQ(tree->Job(row).ItemData.Frame, 0u);
    }
    EXPECT_EQ(shownBusy, (std::map<int, bool>{{0, false}, {1, false}, {2, false}})) << "every ended job's row is repainted";
}

TEST_F(CommandTest, PercentIsJobsEndedTimesHundredDividedByJobs)
{
    addJobs({"1", "2", "3", "4", "5", "6", "7"});
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(percents(), (std::vector<int>{14, 28, 42, 57, 71, 85, 100}));
}

// Which jobs a run that skips finished jobs converts, and how its bar and positions count them.
TEST_F(CommandTest, ASkippingRunConvertsOnlyTheJobsNotFinishedAndCountsOnlyThem)
{
    const struct {
        std::vector<int> finishedBefore;  // rows finished by an earlier run, of five
        std::vector<std::string> converted;
        std::vector<int> percents;
    } cases[] = {
        {{}, {"0.out", "1.out", "2.out", "3.out", "4.out"}, {20, 40, 60, 80, 100}},
        {{0, 2, 4}, {"1.out", "3.out"}, {50, 100}},
        {{0, 1, 2, 3}, {"4.out"}, {100}},
        {{1, 2, 3, 4}, {"0.out"}, {100}},
        {{0, 1, 2, 3, 4}, {}, {}},
    };
    for (const auto& c : cases) {
        createDriver();
        QDir(programFolder.filePath("convert")).removeRecursively();
        QDir(programFolder.path()).mkdir("convert");
        progress.clear();
        finished.clear();
        addJobs({"0", "1", "2", "3", "4"});
        for (int row : c.finishedBefore)
            tree->SetState(row, jsFinished);
        std::vector<std::uint32_t> positions;
        command->OnProgress = [&](QObject*, int percent) {
            progress.push_back({nullptr, percent});
            positions.push_back(command->RunPosition());
        };
        command->Start(TCommand::FinishedJobs::Skip);
        if (c.converted.empty()) {
            EXPECT_FALSE(command->ListLocked()) << "no run starts";
            EXPECT_TRUE(finished.empty());
            continue;
        }
        ASSERT_TRUE(waitFor([this] { return !finished.empty(); }));
        EXPECT_EQ(outputFolderEntries(), c.converted);
        EXPECT_EQ(percents(), c.percents);
        EXPECT_EQ(command->RunJobs(), c.converted.size());
        ASSERT_EQ(positions.size(), c.converted.size());
        for (std::uint32_t i = 0; i < positions.size(); ++i)
            EXPECT_EQ(positions[i], i);
        EXPECT_EQ(states(), std::vector<int>(5, jsFinished));
    }
}

TEST_F(CommandTest, AFailingConverterFailsItsJobAndTheRunGoesOn)
{
    addJobs({"a.avi", "fail.avi", "c.avi"});
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(states(), (std::vector<int>{jsFinished, jsFailed, jsFinished}));
    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_EQ(command->LastExitCode(), 0u);
}

TEST_F(CommandTest, StopOnAnEarlierJobFailsItAndLeavesTheRestWaiting)
{
    addJobs({"a.avi", "hang.avi", "c.avi", "d.avi"});
    tree->SetState(3, jsFinished);  // from an earlier run
    command->Start();
    ASSERT_TRUE(waitForHangingConverter("hang.avi"));
    EXPECT_TRUE(tree->Locked());
    command->Stop();
    EXPECT_TRUE(command->Stopped());
    EXPECT_TRUE(command->ListLocked()) << "the list stays locked until the end is reported";
    EXPECT_FALSE(tree->DeleteRows({1}));
    EXPECT_FALSE(tree->Clear());
    ASSERT_TRUE(waitFor([this] { return !finished.empty(); }));

    EXPECT_EQ(states(), (std::vector<int>{jsFinished, jsFailed, jsWaiting, jsFinished}));
    EXPECT_EQ(percents(), (std::vector<int>{25, 50}));
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(command->LastExitCode(), 259u);
    EXPECT_FALSE(tree->Locked());
    EXPECT_FALSE(tree->Job(1).ItemData.Busy);
}

TEST_F(CommandTest, StopOnTheLastJobEndsTheRunAsCompleted)
{
    addJobs({"a.avi", "hang.avi"});
    command->Start();
    ASSERT_TRUE(waitForHangingConverter("hang.avi"));
    command->Stop();
    ASSERT_TRUE(waitFor([this] { return !finished.empty(); }));
    EXPECT_EQ(states(), (std::vector<int>{jsFinished, jsFailed}));
    EXPECT_EQ(finished, std::vector<bool>{false});
}

TEST_F(CommandTest, ASecondRunConvertsEverythingAgainUnderNewNames)
{
    addJobs({"a.avi", "a.mpg"});
    ASSERT_TRUE(runToTheEnd());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(output("a_2.out")))) << "earlier outputs of one run count";
    finished.clear();
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(states(), (std::vector<int>{jsFinished, jsFinished}));
    EXPECT_EQ(command->OutputPath(), output("a_2_2_2.out"));
    for (const char* name : {"a.out", "a_2.out", "a_2_2.out", "a_2_2_2.out"})
        EXPECT_TRUE(QFile::exists(QString::fromStdString(output(name)))) << name;
}

TEST_F(CommandTest, AJobWithoutAProfileFailsWithoutAProcessAndTheRunGoesOn)
{
    addJobs({"a.avi"});
    addJobs({"b.avi"}, 7);
    addJobs({"c.avi"});
    addJobs({"d.avi"}, -1);
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(states(), (std::vector<int>{jsFinished, jsFailed, jsFinished, jsFailed}));
    EXPECT_EQ(percents(), (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(finished, std::vector<bool>{false});
    EXPECT_FALSE(command->LastExitCode().has_value());
    EXPECT_EQ(command->LastError(), "profile -1 is not in the catalogue");
    EXPECT_EQ(tree->Job(1).FailureReason, "profile 7 is not in the catalogue");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(output("b.out"))));
    EXPECT_TRUE(failures.empty());
}

TEST_F(CommandTest, AnUnusableExtensionFailsItsJobsWithoutAProcess)
{
    writeFile(programFolder.path().toStdString() + "/command",
              "<c><p><format>Fake</format><params>-n</params><ext>out</ext></p>"
              "<p><format>Escaping</format><params>-n</params><ext>out/../../x</ext></p></c>");
    createDriver();
    addJobs({"a.avi"}, 1);
    addJobs({"b.avi"}, 0);
    addJobs({"c.avi"}, 1);
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(states(), (std::vector<int>{jsFailed, jsFinished, jsFailed}));
    EXPECT_FALSE(command->LastExitCode().has_value());
    EXPECT_EQ(command->LastError(), "profile 1 has an unusable extension");
    // The reason stays with the job, where the window's hint shows it.
    EXPECT_EQ(tree->Job(0).FailureReason, "profile 1 has an unusable extension");
    EXPECT_NE(tree->data(tree->index(0, 0), Qt::ToolTipRole).toString().indexOf(
                  "[error]: profile 1 has an unusable extension"),
              -1);
    EXPECT_TRUE(failures.empty());
}

// Within a run the driver remembers the names it gave out; a new run looks at the folder afresh.
TEST_F(CommandTest, ANewRunTakesANameFreedSinceTheLastOne)
{
    addJobs({"a.avi", "a.mpg"});
    ASSERT_TRUE(runToTheEnd());
    ASSERT_EQ(::unlink(output("a.out").c_str()), 0);
    finished.clear();
    tree->Clear();
    addJobs({"a.mov"});
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(command->OutputPath(), output("a.out"));
}

TEST_F(CommandTest, AListOfJobsWithoutProfilesNeitherRecursesNorStalls)
{
    addJobs(std::vector<std::string>(2000, "x.avi"), 5);
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(progress.size(), 2000u);
    EXPECT_EQ(states().back(), jsFailed);
}

TEST_F(CommandTest, AMissingConverterGivesOneMessagePerJob)
{
    ::unlink(programFolder.filePath("bin/ffmpeg").toStdString().c_str());
    addJobs({"a.avi", "b.avi", "c.avi"});
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(states(), (std::vector<int>{jsFailed, jsFailed, jsFailed}));
    ASSERT_TRUE(waitFor([this] { return failures.size() == 3; }));
    // One message per job, in job order, though each comes from its own worker.
    const std::string converter = programFolder.filePath("bin/ffmpeg").toStdString();
    const std::vector<std::string> names = {"a", "b", "c"};
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(failures[i], "\"" + converter + "\" -i \"" + source(names[i] + ".avi") + "\" -n \"" +
                                   output(names[i] + ".out") + "\" doesn't exist.");
    EXPECT_EQ(finished, std::vector<bool>{false});
}

TEST_F(CommandTest, TicksMoveTheBlockAndTheClock)
{
    addJobs({"hang.avi"});
    std::vector<QObject*> timerSenders;
    command->OnTimer = [&](QObject* sender) { timerSenders.push_back(sender); };
    command->Start();
    ASSERT_TRUE(waitForHangingConverter("hang.avi"));
    command->Tick();
    EXPECT_EQ(command->ElapsedSeconds(), 1);
    EXPECT_EQ(tree->Job(0).ItemData.Frame, 1u);
    for (int tick = 2; tick <= 74; ++tick)
        command->Tick();
    EXPECT_EQ(tree->Job(0).ItemData.Frame, 74u);
    command->Tick();
    EXPECT_EQ(tree->Job(0).ItemData.Frame, 0u);
    EXPECT_EQ(timerSenders.size(), 75u);
    EXPECT_NE(timerSenders[0], &command->Runner());
    EXPECT_TRUE(tree->Job(0).ItemData.Busy);
    command->Stop();
    ASSERT_TRUE(waitFor([this] { return !finished.empty(); }));
    EXPECT_EQ(command->ElapsedSeconds(), 0);
}

TEST_F(CommandTest, DestroyingTheDriverDuringARunEndsTheConverter)
{
    addJobs({"hang.avi", "b.avi"});
    command->Start();
    ASSERT_TRUE(waitForHangingConverter("hang.avi"));
    const pid_t converter = std::stoi(readFile(source("hang.avi") + ".pid"));
    command.reset();
    EXPECT_TRUE(waitFor([converter] { return processGone(converter); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(finished.empty());
    EXPECT_FALSE(tree->Locked());
}

TEST_F(CommandTest, StartOnAnEmptyListOrDuringARunDoesNothing)
{
    command->Start();
    EXPECT_TRUE(command->Stopped());
    addJobs({"hang.avi"});
    command->Start();
    ASSERT_TRUE(waitForHangingConverter("hang.avi"));
    command->Start();
    command->Stop();
    ASSERT_TRUE(waitFor([this] { return !finished.empty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(progress.size(), 1u);
    EXPECT_EQ(finished.size(), 1u);
}

TEST_F(CommandTest, EveryFailedJobSaysWhyAndLeavesNoBrokenOutput)
{
    addJobs({"fail.avi", "missing.avi", "nooutput.avi", "empty.avi", "diskfull.avi", "good.avi"});
    addJobs({"b.avi"}, 7);
    ASSERT_TRUE(runToTheEnd());
    const struct {
        const char* output;
        int state;
        std::string reason;
    } expected[] = {
        {"fail.out", jsFailed, "the converter ended with code 3"},
        {"missing.out", jsFailed, source("missing.avi") + ": No such file or directory"},
        {"nooutput.out", jsFailed, "the converter reported success but wrote no output file"},
        {"empty.out", jsFailed, "the converter reported success but its output file is empty"},
        {"diskfull.out", jsFailed, "Error writing trailer of " + output("diskfull.out") + ": No space left on device"},
        {"good.out", jsFinished, ""},
        {"b.out", jsFailed, "profile 7 is not in the catalogue"},
    };
    for (int row = 0; row < tree->Count(); ++row) {
        const auto& job = tree->Job(row);
        EXPECT_EQ(job.State, expected[row].state) << row;
        EXPECT_EQ(job.FailureReason, expected[row].reason) << row;
        EXPECT_EQ(QFile::exists(QString::fromStdString(output(expected[row].output))), job.State == jsFinished)
            << expected[row].output;
    }
    EXPECT_EQ(command->LastError(), "profile 7 is not in the catalogue");
}

TEST_F(CommandTest, AStoppedJobSaysSoAndItsPartialOutputIsRemoved)
{
    addJobs({"hang.avi", "b.avi"});
    command->Start();
    ASSERT_TRUE(waitForHangingConverter("hang.avi"));
    ASSERT_TRUE(QFile::exists(QString::fromStdString(command->WritingPath())));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(output("hang.out")))) << "a partial output has no real name";
    command->Stop();
    ASSERT_TRUE(waitFor([this] { return !finished.empty(); }));
    EXPECT_EQ(tree->Job(0).FailureReason, "stopped");
    EXPECT_EQ(command->LastError(), "stopped");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(output("hang.out"))));
    EXPECT_TRUE(QDir(programFolder.filePath("convert")).exists()) << "a folder is never removed";
    EXPECT_TRUE(outputFolderEntries().empty()) << "the job's private folder goes with it";
}

TEST_F(CommandTest, AnOutputTheConverterRefusedToOverwriteIsLeftAlone)
{
    addJobs({"planted.avi"});
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(tree->Job(0).State, jsFailed);
    EXPECT_EQ(tree->Job(0).FailureReason, "File '" + output("planted.out") + "' already exists. Exiting.");
    EXPECT_EQ(readFile(output("planted.out")), "not ours");
}

TEST_F(CommandTest, AConverterThatCannotStartGivesTheRunnersMessageAsTheReason)
{
    ::unlink(programFolder.filePath("bin/ffmpeg").toStdString().c_str());
    addJobs({"a.avi"});
    ASSERT_TRUE(runToTheEnd());
    ASSERT_TRUE(waitFor([this] { return failures.size() == 1; }));
    EXPECT_EQ(tree->Job(0).FailureReason, "the converter could not be started: " + failures[0]);
}

TEST_F(CommandTest, ARunAgainForgetsTheLastReason)
{
    addJobs({"a.avi"});
    tree->SetFailure(0, "stopped");
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(tree->Job(0).State, jsFinished);
    EXPECT_EQ(tree->Job(0).FailureReason, "");
    EXPECT_EQ(command->LastError(), "");
}

// Whatever appears at the output's name while the job runs, by whatever means, stays as it is:
// the output is committed under the next free name, and that is the name reported.
TEST_F(CommandTest, AnythingThatTakesTheNameDuringAJobStaysAndTheOutputTakesTheNextName)
{
    const struct {
        const char* how;
        std::function<void(const std::string& name)> plant;
        bool regularFile;
    } plantings[] = {
        {"written", [](const std::string& name) { writeFile(name, "theirs"); }, true},
        {"moved in", [this](const std::string& name) {
             writeFile(source("theirs"), "theirs");
             ASSERT_EQ(::rename(source("theirs").c_str(), name.c_str()), 0);
         }, true},
        {"a link to nowhere", [](const std::string& name) { ASSERT_EQ(::symlink("/nowhere", name.c_str()), 0); }, false},
    };
    for (const auto& planting : plantings) {
        finished.clear();
        createDriver();
        ::unlink(source("wait.avi.go").c_str());
        addJobs({"wait.avi"});
        command->Start();
        ASSERT_TRUE(waitFor([&] { return !command->OutputPath().empty() && exists(command->OutputPath() + ".running"); }));
        const std::string taken = command->OutputPath();
        planting.plant(taken);
        writeFile(source("wait.avi.go"), "");
        ASSERT_TRUE(waitFor([this] { return !finished.empty(); })) << planting.how;
        EXPECT_EQ(tree->Job(0).State, jsFinished) << planting.how;
        EXPECT_NE(command->OutputPath(), taken) << planting.how;
        EXPECT_EQ(readFile(command->OutputPath()), "converted") << planting.how;
        if (planting.regularFile)
            EXPECT_EQ(readFile(taken), "theirs") << planting.how;
        else
            EXPECT_EQ(QFileInfo(QString::fromStdString(taken)).symLinkTarget(), QStringLiteral("/nowhere")) << planting.how;
        const std::vector<std::string> entries = outputFolderEntries();
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::string& name) { return name.rfind(".clipforge", 0) == 0; }), 0)
            << planting.how << ": the private folder went with the job";
    }
}

TEST_F(CommandTest, AFailedJobLeavesAFilePlantedAtItsNameAndTakesOnlyItsPrivateFolder)
{
    addJobs({"planted.avi", "fail.avi"});
    writeFile(output("fail.out"), "there before");
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(states(), (std::vector<int>{jsFailed, jsFailed}));
    EXPECT_EQ(readFile(output("fail.out")), "there before");
    EXPECT_EQ(outputFolderEntries(), (std::vector<std::string>{"fail.out", "planted.out"}));
}

TEST_F(CommandTest, WhereRenamingCannotRefuseToReplaceTheOutputIsLinkedIntoPlace)
{
    const ForcedLinkCommit forced;
    addJobs({"a.avi", "a.mpg"});
    writeFile(output("a.out"), "theirs");
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(states(), (std::vector<int>{jsFinished, jsFinished}));
    EXPECT_EQ(readFile(output("a.out")), "theirs");
    EXPECT_EQ(outputFolderEntries(), (std::vector<std::string>{"a.out", "a_2.out", "a_2_2.out"}));
    struct stat info {};
    ASSERT_EQ(::stat(output("a_2.out").c_str(), &info), 0);
    EXPECT_EQ(info.st_nlink, 1u) << "the private name is gone";
}

TEST_F(CommandTest, ARunClearsADeadRunsPrivateFolderButNotALiveOne)
{
    const std::string dead = output(".clipforge-partial." + clipforge::hostTag() + ".dead00");
    const std::string live = output(".clipforge-partial." + clipforge::hostTag() + ".live00");
    for (const std::string& folder : {dead, live}) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        writeFile(folder + "/a.out", "half");
    }
    writeFile(dead + "/lock", "");
    const clipforge::WriterLock held = clipforge::WriterLock::create(live + "/lock");
    ASSERT_TRUE(held.held());
    addJobs({"a.avi"});
    ASSERT_TRUE(runToTheEnd());
    EXPECT_EQ(outputFolderEntries(), (std::vector<std::string>{".clipforge-partial." + clipforge::hostTag() + ".live00", "a.out"}));
    EXPECT_EQ(readFile(live + "/a.out"), "half");
}
