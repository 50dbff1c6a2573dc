#include "BatchArguments.h"

#include <gtest/gtest.h>

using clipforge::BatchAction;
using clipforge::BatchArguments;
using clipforge::BatchUsageError;
using clipforge::parseBatchArguments;

TEST(BatchArguments, CallsThatMakeSense)
{
    struct Case {
        std::vector<std::string> arguments;
        BatchAction action;
        std::string helpTopic;
        std::string listFile;
        std::string profile;
        std::string folder;
        std::vector<std::string> files;
        bool dryRun;
    };
    const Case cases[] = {
        {{"profiles"}, BatchAction::Profiles, "", "", "", "", {}, false},
        {{"show", "q.kxl"}, BatchAction::Show, "", "q.kxl", "", "", {}, false},
        {{"convert", "q.kxl"}, BatchAction::Convert, "", "q.kxl", "", "", {}, false},
        {{"convert", "--dry-run", "q.kxl"}, BatchAction::Convert, "", "q.kxl", "", "", {}, true},
        {{"make", "q.kxl", "--profile", "3", "a.avi", "b c.avi"}, BatchAction::Make, "", "q.kxl", "3", "", {"a.avi", "b c.avi"}, false},
        {{"make", "--profile=0", "--folder=/o", "q.kxl", "a"}, BatchAction::Make, "", "q.kxl", "0", "/o", {"a"}, false},
        {{"make", "q.kxl", "--profile", "1", "--folder", "", "--", "-a.avi", "--help"}, BatchAction::Make, "", "q.kxl", "1", "", {"-a.avi", "--help"}, false},
        {{"make", "q.kxl", "--profile", "1", "-"}, BatchAction::Make, "", "q.kxl", "1", "", {"-"}, false},
        {{"plan", "q.kxl"}, BatchAction::Plan, "", "q.kxl", "", "", {}, false},
        {{"convert", "q.kxl", "--jobs", "3", "--json"}, BatchAction::Convert, "", "q.kxl", "", "", {}, false},
        {{"make", "q.kxl", "--profile", "MP3 audio", "a"}, BatchAction::Make, "", "q.kxl", "MP3 audio", "", {"a"}, false},
        {{"--version"}, BatchAction::Version, "", "", "", "", {}, false},
        {{"--help"}, BatchAction::Help, "", "", "", "", {}, false},
        {{"help", "make"}, BatchAction::Help, "make", "", "", "", {}, false},
        {{"convert", "q.kxl", "--help"}, BatchAction::Help, "convert", "", "", "", {}, false},
        {{"make", "-h"}, BatchAction::Help, "make", "", "", "", {}, false},
    };
    for (const Case& c : cases) {
        const BatchArguments parsed = parseBatchArguments(c.arguments);
        const std::string call = c.arguments.front() + (c.arguments.size() > 1 ? " " + c.arguments[1] : "");
        EXPECT_EQ(parsed.action, c.action) << call;
        EXPECT_EQ(parsed.helpTopic, c.helpTopic) << call;
        EXPECT_EQ(parsed.listFile, c.listFile) << call;
        EXPECT_EQ(parsed.profile.value_or(""), c.profile) << call;
        EXPECT_EQ(parsed.folder, c.folder) << call;
        EXPECT_EQ(parsed.files, c.files) << call;
        EXPECT_EQ(parsed.dryRun, c.dryRun) << call;
    }
}

TEST(BatchArguments, CallsThatAreRefusedSayWhy)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"run", "q.kxl"}, "unknown command: run"},
        {{"show"}, "show needs a list file"},
        {{"show", "a.kxl", "b.kxl"}, "unexpected argument for show: b.kxl"},
        {{"profiles", "x"}, "unexpected argument for profiles: x"},
        {{"convert", "q.kxl", "--dry"}, "unknown option for convert: --dry"},
        {{"show", "q.kxl", "--dry-run"}, "unknown option for show: --dry-run"},
        {{"plan", "q.kxl", "--dry-run"}, "unknown option for plan: --dry-run"},
        {{"plan"}, "plan needs a list file"},
        {{"make", "q.kxl", "a.avi"}, "make needs --profile N"},
        {{"make", "q.kxl", "--profile", "1"}, "make needs at least one video file"},
        {{"make", "q.kxl", "a.avi", "--profile"}, "the option --profile needs a value"},
        {{"convert", "q.kxl", "--jobs", "0"}, "--jobs needs a number of converters (1 or more) or auto, not \"0\""},
        {{"convert", "q.kxl", "--jobs=two"}, "--jobs needs a number of converters (1 or more) or auto, not \"two\""},
        {{"convert", "q.kxl", "--jobs", "2x"}, "--jobs needs a number of converters (1 or more) or auto, not \"2x\""},
        {{"convert", "q.kxl", "--jobs"}, "the option --jobs needs a value"},
        {{"convert", "q.kxl", "--split", "--split-min", "9.5"}, "--split-min needs a number of seconds, 10 or more, not \"9.5\""},
        {{"convert", "q.kxl", "--split-min", "30"}, "--split-min needs --split"},
        {{"plan", "q.kxl", "--json"}, "unknown option for plan: --json"},
        {{"job", "--source", "a", "--params", "", "--ext", "mp4", "--folder", "/o"}, "job needs --name"},
        {{"job", "--source=a", "--params=", "--ext=mp4", "--folder=/o", "--name=../a.mp4"},
         "--name needs a file name without \"/\", not \"../a.mp4\""},
        {{"job", "--source=a", "--params=", "--ext=mp4", "--folder=/o", "--name=a", "--index=-1"},
         "--index needs a job number (0 or more), not \"-1\""},
        {{"job", "a.avi"}, "unknown option for job: a.avi"},
        {{"plan", "q.kxl", "--parts", "3"}, "--parts needs --split"},
        {{"plan", "q.kxl", "--split", "--parts", "1"}, "--parts needs a number from 2 to 64, not \"1\""},
        {{"plan", "q.kxl", "--split", "--raw"}, "--raw prints one converter command per job, so it cannot --split"},
        {{"job", "--source=a", "--params=", "--ext=mp4", "--folder=/o", "--name=a", "--split-part=1", "--parts=4",
          "--split-min=10"},
         "--split-part needs --plan-id"},
        {{"job", "--source=a", "--params=", "--ext=mp4", "--folder=/o", "--name=a", "--plan-id=../x", "--split-part=1",
          "--parts=4", "--split-min=10"},
         "--plan-id needs up to 32 letters and digits, not \"../x\""},
        {{"job", "--source=a", "--params=", "--ext=mp4", "--folder=/o", "--name=a", "--plan-id=p1", "--split-part=0",
          "--parts=4", "--split-min=10"},
         "--split-part needs a number from 1 to 64, not \"0\""},
        {{"job", "--source=a", "--params=", "--ext=mp4", "--folder=/o", "--name=a", "--plan-id=p1"},
         "--plan-id, --parts and --split-min need --split-part"},
        {{"job", "--source"}, "the option --source needs a value"},
    };
    for (const Case& c : cases) {
        try {
            parseBatchArguments(c.arguments);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const BatchUsageError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

TEST(BatchArguments, JobsAndJson)
{
    EXPECT_EQ(parseBatchArguments({"convert", "q.kxl"}).jobs, 1);
    EXPECT_FALSE(parseBatchArguments({"convert", "q.kxl"}).json);
    const BatchArguments given = parseBatchArguments({"convert", "--jobs=3", "--json", "q.kxl"});
    EXPECT_EQ(given.jobs, 3);
    EXPECT_TRUE(given.json);
    EXPECT_GE(parseBatchArguments({"convert", "q.kxl", "--jobs", "auto"}).jobs, 1);
    const BatchArguments split = parseBatchArguments({"convert", "q.kxl", "--split", "--split-min=10"});
    EXPECT_TRUE(split.split);
    EXPECT_EQ(split.splitMinimum, 10);
    EXPECT_EQ(parseBatchArguments({"convert", "q.kxl", "--split"}).splitMinimum, 120);
}

TEST(BatchArguments, EveryCommandHasItsOwnHelp)
{
    const std::string overview = clipforge::batchHelp("");
    for (const char* command : {"profiles", "show", "make", "convert", "plan", "job", "watch"}) {
        EXPECT_NE(overview.find(command), std::string::npos) << command;
        const std::string help = clipforge::batchHelp(command);
        EXPECT_EQ(help.rfind(std::string("Usage: clipforge-batch ") + command, 0), 0u) << help;
    }
}

TEST(BatchArguments, PlanRawAndAJobLineWhoseValuesLookLikeOptions)
{
    EXPECT_FALSE(parseBatchArguments({"plan", "q.kxl"}).raw);
    EXPECT_TRUE(parseBatchArguments({"plan", "--raw", "q.kxl"}).raw);

    const BatchArguments line = parseBatchArguments(
        {"job", "--index", "7", "--source", "-h", "--params", "-n --help", "--ext", "mp4", "--folder", "/o", "--name", "--help"});
    EXPECT_EQ(line.action, BatchAction::Job);
    EXPECT_EQ(line.job.index, 7);
    EXPECT_EQ(line.job.source, "-h");
    EXPECT_EQ(line.job.params, "-n --help");
    EXPECT_EQ(line.job.ext, "mp4");
    EXPECT_EQ(line.job.folder, "/o/");
    EXPECT_EQ(line.job.name, "--help");
    EXPECT_EQ(parseBatchArguments({"job", "--source=a", "--params=", "--ext=", "--folder=/", "--name=a."}).job.index, 0);
    EXPECT_EQ(parseBatchArguments({"job", "--help"}).action, BatchAction::Help);
    EXPECT_FALSE(line.job.piece);

    // A split plan's line reads back as it was written.
    clipforge::PlannedJob piece = line.job;
    piece.piece = clipforge::PlannedPiece{"k3x9", 0, 6, 30.5};
    const std::string command = clipforge::plannedJobCommand(piece);
    EXPECT_NE(command.find(" --plan-id k3x9 --split-part sound --parts 6 --split-min 30.500 "), std::string::npos) << command;
    const clipforge::PlannedJob read =
        parseBatchArguments({"job", "--source=a", "--params=", "--ext=mp4", "--folder=/o", "--name=--help", "--plan-id",
                             "k3x9", "--split-part", "sound", "--parts", "6", "--split-min", "30.500"})
            .job;
    ASSERT_TRUE(read.piece);
    EXPECT_EQ(read.piece->planId, "k3x9");
    EXPECT_EQ(read.piece->part, 0) << "the sound";
    EXPECT_EQ(read.piece->parts, 6);
    EXPECT_EQ(read.piece->splitMinimum, 30.5);
    EXPECT_EQ(read.name, "--help");
}

TEST(BatchArguments, WatchTakesFoldersAndItsOwnOptions)
{
    const BatchArguments given = parseBatchArguments({"watch", "/in", "--profile", "mp4", "-", "--settle=0",
                                                      "--rescan", "2.5", "--ignore", "*.raw.mkv", "--ignore=x?",
                                                      "--retry-failed", "--jobs", "2", "--json", "--check", "off",
                                                      "--folder", "/out", "--", "--dash"});
    EXPECT_EQ(given.action, BatchAction::Watch);
    EXPECT_EQ(given.files, (std::vector<std::string>{"/in", "-", "--dash"}));
    EXPECT_EQ(given.profile.value_or(""), "mp4");
    EXPECT_EQ(given.folder, "/out");
    EXPECT_EQ(given.settleSeconds, 0);
    EXPECT_EQ(given.rescanSeconds, 2.5);
    EXPECT_EQ(given.ignored, (std::vector<std::string>{"*.raw.mkv", "x?"}));
    EXPECT_TRUE(given.retryFailed);
    EXPECT_EQ(given.jobs, 2);
    EXPECT_TRUE(given.json);
    const BatchArguments defaults = parseBatchArguments({"watch", "/in", "--profile", "0"});
    EXPECT_EQ(defaults.settleSeconds, 10);
    EXPECT_EQ(defaults.rescanSeconds, 60);
    EXPECT_FALSE(defaults.retryFailed);

    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } refused[] = {
        {{"watch", "--profile", "0"}, "watch needs at least one folder"},
        {{"watch", "/in"}, "watch needs --profile P"},
        {{"watch", "/in", "--profile", "0", "--settle", "-1"}, "--settle needs a number of seconds, not \"-1\""},
        {{"watch", "/in", "--profile", "0", "--rescan", "0"}, "--rescan needs a number of seconds above 0, not \"0\""},
        {{"watch", "/in", "--profile", "0", "--rescan", "1m"}, "--rescan needs a number of seconds above 0, not \"1m\""},
        {{"watch", "/in", "--profile", "0", "--dry-run"}, "unknown option for watch: --dry-run"},
    };
    for (const auto& c : refused) {
        try {
            parseBatchArguments(c.arguments);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const BatchUsageError& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}
