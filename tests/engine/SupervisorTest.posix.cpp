#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>

#include "ConsoleRunnerTestSupport.h"
#include "engine/ChildProcess.h"
#include "engine/ConverterConfinement.h"
#include "engine/Pipe.h"
#include "support/Files.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"

using namespace clipforge::test;

namespace {

// How a run whose converter left a process behind ends.
enum class RunEnd { ByItself, Stopped, RunnerDestroyed };

class Supervisor : public testing::Test {
protected:
    void SetUp() override
    {
        if (::access(clipforge::ChildProcess::supervisor().c_str(), X_OK) != 0)
            GTEST_SKIP() << "no supervisor at " << clipforge::ChildProcess::supervisor()
                         << "; children are ended as process groups only";
    }
};

class SupervisedRun : public Supervisor, public testing::WithParamInterface<RunEnd> {};

std::string nameOf(const testing::TestParamInfo<RunEnd>& end)
{
    const char* const names[] = {"ByItself", "Stopped", "RunnerDestroyed"};
    return names[static_cast<int>(end.param)];
}

}  // namespace

TEST_P(SupervisedRun, NothingTheConverterStartedOutlivesIt)
{
    auto runner = std::make_unique<TConsoleRunner>();
    RunnerRecorder recorder;
    recorder.attach(*runner);
    const bool byItself = GetParam() == RunEnd::ByItself;
    runner->Settings.CommandLine = fakeConverterCommand("escapee", "grandchild", "report", byItself ? "exit=7" : "hang");
    runner->Execute();
    ASSERT_TRUE(waitFor([&] { return recorder.sawLineStartingWith("pgid="); }));
    const long escapee = recorder.numberAfter("escapee ");
    const long grandchild = recorder.numberAfter("grandchild ");
    ASSERT_GT(escapee, 0);
    ASSERT_GT(grandchild, 0);
    // The converter itself still sees what it always saw.
    EXPECT_TRUE(recorder.sawLineStartingWith("pgid=1 pdeathsig=9 fds=0"));
    if (GetParam() == RunEnd::Stopped)
        runner->Stop();
    if (GetParam() == RunEnd::RunnerDestroyed) {
        runner.reset();
    } else {
        ASSERT_TRUE(recorder.waitForEnds());
    }
    if (byItself) {
        EXPECT_EQ(recorder.exitCodes.at(0), 7u) << "the supervisor ends as its converter did";
    }
    EXPECT_TRUE(waitFor([&] { return processGone(escapee) && processGone(grandchild); }));
}

INSTANTIATE_TEST_SUITE_P(Ends, SupervisedRun, testing::Values(RunEnd::ByItself, RunEnd::Stopped, RunEnd::RunnerDestroyed),
                         nameOf);

TEST_F(Supervisor, AConverterThatCannotStartIsReportedAtOnceNotAsAnExitCode)
{
    const TempFolder folder;
    const std::string script = folder.write("not-a-program", "not a program\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
    std::unique_ptr<clipforge::ChildProcess> child;
    clipforge::Pipe output;
    ASSERT_EQ(clipforge::createPipe(output), 0);
    const clipforge::ChildStart start{{script}, output.readEnd.get(), output.writeEnd.get(), 0, {}, {}};
    EXPECT_EQ(clipforge::ChildProcess::start(start, child), ENOEXEC);
    EXPECT_EQ(child, nullptr);
}

namespace {

// A converter confined to a folder, with the tests' own allowance taken away.
class ConfinedRun : public Supervisor {
protected:
    void SetUp() override
    {
        Supervisor::SetUp();
        if (IsSkipped())
            return;
        if (clipforge::landlockAbi() == 0)
            GTEST_SKIP() << "this kernel has no Landlock: converters run unconfined here, and a run says so";
        ASSERT_EQ(::mkdir(inside().c_str(), 0700), 0);
    }
    std::string inside() const { return folder.path() + "private"; }

    // What the converter printed, one line each, run with these actions.
    std::vector<std::string> run(const std::vector<std::string>& actions)
    {
        const ScopedVariable noAllowance("CLIPFORGE_TEST_WRITABLE_FOLDER", std::nullopt);
        TConsoleRunner runner;
        RunnerRecorder recorder;
        recorder.attach(runner);
        runner.Settings.CommandLine = clipforge::quoteArgument(fakeConverterPath());
        for (const std::string& action : actions)
            runner.Settings.CommandLine += " " + clipforge::quoteArgument(action);
        runner.Settings.WorkingFolder = inside();
        runner.Settings.WritableFolder = inside();
        runner.Execute();
        EXPECT_TRUE(recorder.waitForEnds());
        return recorder.texts();
    }

    TempFolder folder;
};

}  // namespace

TEST_F(ConfinedRun, TheConverterWritesOnlyInItsFolderAndStartsThere)
{
    struct Case {
        std::string path;
        bool allowed;
    };
    const Case cases[] = {
        {inside() + "/output.mkv", true},
        {inside() + "/sub", true},
        {"/dev/null", true},
        {folder.path() + "victim.mp3", false},
        {folder.path() + "private.log", false},
        {folder.path() + "private/../outside", false},
    };
    writeFile(folder.path() + "victim.mp3", "precious");
    std::vector<std::string> actions{"cwd"};
    for (const Case& c : cases)
        actions.push_back("write=" + c.path);
    const std::vector<std::string> lines = run(actions);
    ASSERT_EQ(lines.size(), actions.size());
    EXPECT_EQ(lines[0], "cwd " + inside());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string expected = "write " + cases[i].path + ": " + (cases[i].allowed ? "ok" : "Permission denied");
        EXPECT_EQ(lines[i + 1], expected);
    }
    EXPECT_EQ(readFile(folder.path() + "victim.mp3"), "precious");
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "private.log"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "outside"));
}
