// convert --joblog and --resume: a run killed at any point and resumed leaves one output per job.
#include "BatchFixture.h"
#include "core/UnfinishedNames.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <regex>

using namespace clipforge::test;

namespace {

class JoblogTest : public BatchFixture {
protected:
    std::vector<std::string> convertArguments(const std::string& list, const std::string& jobs, bool resume)
    {
        std::vector<std::string> arguments{"convert", list, "--jobs", jobs, "--joblog", file("run.joblog")};
        if (resume)
            arguments.push_back("--resume");
        return arguments;
    }
    // Everything in the output folder but the fake converter's handshake files.
    std::vector<std::string> outputs() const
    {
        std::vector<std::string> names = outputFolder();
        std::erase_if(names, [](const std::string& name) { return name.ends_with(".running"); });
        return names;
    }
    // Ready for the next case: no outputs, no joblog.
    void clearOutputs() const
    {
        for (const std::string& output : outputs())
            std::remove(program.path("convert/" + output).c_str());
        std::remove(file("run.joblog").c_str());
    }
    bool joblogHas(const std::string& text) const { return readFile(file("run.joblog")).find(text) != std::string::npos; }
    // The joblog as a run killed just before its last job-ended line would have left it.
    void dropLastEnd()
    {
        std::vector<std::string> kept = lines(readFile(file("run.joblog")));
        const auto last = std::find_if(kept.rbegin(), kept.rend(),
                                       [](const std::string& line) { return line.find("\"job-ended\"") != std::string::npos; });
        ASSERT_NE(last, kept.rend());
        kept.erase(std::next(last).base());
        std::string bytes;
        for (const std::string& line : kept)
            bytes += line + "\n";
        writeFile(file("run.joblog"), bytes);
    }
};

TEST_F(JoblogTest, AResumedRunAfterKillMinus9EndsWithOneOutputPerJob)
{
    for (const std::string jobs : {"1", "2"}) {
        SCOPED_TRACE("--jobs " + jobs);
        const std::string list = listOf({"a" + jobs + ".avi", "wait" + jobs + ".avi"}, "q" + jobs + ".kxl");
        BatchProcess run(program, convertArguments(list, jobs, false));
        // The first job is journalled finished and the second is converting: kill -9 there.
        ASSERT_TRUE(waitFor([&] {
            return exists(program.path("convert/wait" + jobs + ".out.running")) &&
                   joblogHas("\"event\":\"job-ended\",\"index\":0,\"state\":\"finished\"");
        }));
        run.signal(SIGKILL);
        EXPECT_EQ(run.wait().exitCode, 128 + SIGKILL);
        writeFile(file("wait" + jobs + ".avi.go"), "");

        const BatchResult resumed = runBatch(program, convertArguments(list, jobs, true));
        EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
        EXPECT_NE(resumed.out.find("0\tskipped\t-\t" + program.path("convert/a" + jobs + ".out")), std::string::npos)
            << resumed.out;
        EXPECT_NE(resumed.out.find("2 files, finished 1 of 2, skipped 1 finished earlier"), std::string::npos);
        EXPECT_EQ(outputs(), (std::vector<std::string>{"a" + jobs + ".out", "wait" + jobs + ".out"}))
            << "one output per job, and the killed job's private folder is gone";
        clearOutputs();
    }
}

// A finished job is skipped only while its output is still there as it was written. One killed
// between its intent line and its end line may or may not have committed: what the folder holds
// settles it.
TEST_F(JoblogTest, AResumeSkipsAJobOnlyWhileItsOutputIsThereAsWritten)
{
    const auto rewrite = [](const char* bytes) { return [bytes](const std::string& output) { writeFile(output, bytes); }; };
    const auto remove = [](const std::string& output) { std::remove(output.c_str()); };
    struct Case {
        const char* name;
        bool endLost;
        std::function<void(const std::string& output)> change;
        std::vector<std::string> outputsAfter;
        bool skipped;
    };
    const Case cases[] = {
        {"committed under its name, end lost", true, [](const std::string&) {}, {"b.out"}, true},
        {"committed under another name, end lost", true,
         [this](const std::string& output) {
             ASSERT_EQ(std::rename(output.c_str(), program.path("convert/b_2.out").c_str()), 0);
         },
         {"b_2.out"}, true},
        {"never committed, end lost", true, remove, {"b.out"}, false},
        {"kept", false, rewrite("converted"), {"b.out"}, true},
        {"removed", false, remove, {"b.out"}, false},
        {"changed", false, rewrite("changed by the user"), {"b.out", "b_2.out"}, false},
    };
    const std::string list = listOf({"b.avi"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(runBatch(program, convertArguments(list, "1", false)).exitCode, 0);
        if (c.endLost)
            dropLastEnd();
        c.change(program.path("convert/b.out"));
        std::vector<std::string> arguments = convertArguments(list, "1", true);
        arguments.push_back("--json");
        const BatchResult resumed = runBatch(program, arguments);
        EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
        EXPECT_NE(resumed.out.find(c.skipped ? "\"finished\":0,\"failed\":0,\"skipped\":1,"
                                             : "\"finished\":1,\"failed\":0,\"skipped\":0,"),
                  std::string::npos)
            << resumed.out;
        EXPECT_EQ(outputs(), c.outputsAfter) << "a changed output is the user's now: left alone";
        EXPECT_TRUE(joblogHas("\"event\":\"job-ended\",\"index\":0,\"state\":\"finished\"")) << "the job's end is journalled";
        clearOutputs();
    }
}

TEST_F(JoblogTest, AJoblogInUseByAnotherRunIsRefused)
{
    const std::string list = listOf({"wait.avi"});
    BatchProcess first(program, convertArguments(list, "1", false));
    ASSERT_TRUE(waitFor([&] { return exists(program.path("convert/wait.out.running")); }));
    const BatchResult second = runBatch(program, convertArguments(list, "1", true));
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_NE(second.err.find("is in use by another run"), std::string::npos) << second.err;
    writeFile(file("wait.avi.go"), "");
    EXPECT_EQ(first.wait().exitCode, 0);
    EXPECT_EQ(outputs(), std::vector<std::string>{"wait.out"});
}

TEST_F(JoblogTest, AJoblogOfAnotherListIsRefusedAndLeftAsItIs)
{
    const std::string first = listOf({"c.avi"}, "first.kxl");
    ASSERT_EQ(runBatch(program, convertArguments(first, "1", false)).exitCode, 0);
    const std::string before = readFile(file("run.joblog"));
    const std::string second = listOf({"d.avi"}, "second.kxl");
    for (const bool resume : {false, true}) {
        const BatchResult result = runBatch(program, convertArguments(second, "1", resume));
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("belongs to another list"), std::string::npos) << result.err;
        EXPECT_EQ(readFile(file("run.joblog")), before);
        EXPECT_EQ(outputs(), std::vector<std::string>{"c.out"}) << "nothing of the second list ran";
    }
}

}  // namespace

namespace {

struct Identity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    unsigned long long size = 0;
};

Identity identityOf(const std::string& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
            static_cast<unsigned long long>(info.st_size)};
}

// line with its output, and its file's identity where it records one, replaced.
std::string forged(std::string line, const std::string& output, const Identity& file)
{
    const auto number = [](unsigned long long value) { return std::to_string(value); };
    line = std::regex_replace(line, std::regex("\"output\":\"[^\"]*\""), "\"output\":\"" + output + "\"");
    line = std::regex_replace(line, std::regex("\"size\":[0-9]+"), "\"size\":" + number(file.size));
    line = std::regex_replace(line, std::regex("\"device\":[0-9]+"), "\"device\":" + number(file.device));
    return std::regex_replace(line, std::regex("\"inode\":[0-9]+"), "\"inode\":" + number(file.inode));
}

}  // namespace

// A joblog is the user's file and may have been edited: a line counts only when the output it
// names is the job's own, in the job's folder under the job's name or a numbered one.
TEST_F(JoblogTest, AResumeBelievesOnlyLinesNamingTheJobsOwnOutput)
{
    const TempFolder outside;
    const std::string victim = outside.write("victim.mp3", "precious");
    std::string leftover = clipforge::privateFolderTemplate();
    leftover.replace(leftover.size() - 6, 6, "forged");
    ASSERT_EQ(::mkdir((outside.path() + leftover).c_str(), 0700), 0);
    const std::string other = program.path("convert/other.mp3");
    struct Case {
        const char* name;
        const char* event;  // the line kept, forged, after the joblog's first
        std::function<std::string()> target;
        std::function<Identity()> identity;
        bool believed;
    };
    const Case cases[] = {
        {"an end naming a file elsewhere", "job-ended", [&] { return victim; }, [&] { return identityOf(victim); }, false},
        {"an end naming another file of the folder", "job-ended", [&] { return other; }, [&] { return identityOf(other); },
         false},
        {"an end naming a numbered name of the job's", "job-ended",
         [&] {
             std::rename(program.path("convert/b.out").c_str(), program.path("convert/b_2_2.out").c_str());
             return program.path("convert/b_2_2.out");
         },
         [&] { return identityOf(program.path("convert/b_2_2.out")); }, true},
        {"an intent naming a file elsewhere", "commit-intent", [&] { return victim; }, [&] { return identityOf(victim); },
         false},
        {"an intent naming a missing file elsewhere", "commit-intent", [&] { return outside.path() + "gone.mp3"; },
         [&] { return identityOf(other); }, false},
        {"an intent under the job's name with another file's identity", "commit-intent",
         [&] {
             std::remove(program.path("convert/b.out").c_str());
             return program.path("convert/b.out");
         },
         [&] { return identityOf(other); }, false},
    };
    const std::string list = listOf({"b.avi"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(other, "someone else's");
        ASSERT_EQ(runBatch(program, convertArguments(list, "1", false)).exitCode, 0);
        const std::vector<std::string> written = lines(readFile(file("run.joblog")));
        const auto kept = std::find_if(written.begin(), written.end(), [&](const std::string& line) {
            return line.find(std::string("\"event\":\"") + c.event + "\"") != std::string::npos;
        });
        ASSERT_NE(kept, written.end());
        const std::string target = c.target();
        writeFile(file("run.joblog"), written.front() + "\n" + forged(*kept, target, c.identity()) + "\n");
        std::vector<std::string> arguments = convertArguments(list, "1", true);
        arguments.push_back("--json");
        const BatchResult resumed = runBatch(program, arguments);
        EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
        EXPECT_NE(resumed.out.find(c.believed ? "\"skipped\":1," : "\"skipped\":0,"), std::string::npos) << resumed.out;
        EXPECT_EQ(resumed.err.find("the line is ignored") != std::string::npos, !c.believed) << resumed.err;
        EXPECT_EQ(readFile(victim), "precious");
        EXPECT_EQ(readFile(other), "someone else's");
        EXPECT_TRUE(exists(outside.path() + leftover)) << "nothing is cleared outside the job's folder";
        clearOutputs();
    }
}
