#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ConsoleRunnerTestSupport.h"
#include "engine/ChildProcess.h"
#include "engine/Pipe.h"
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
    runner->CommandLine = fakeConverterCommand("escapee", "grandchild", "report", byItself ? "exit=7" : "hang");
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
    const clipforge::ChildStart start{{script}, output.readEnd.get(), output.writeEnd.get(), 0};
    EXPECT_EQ(clipforge::ChildProcess::start(start, child), ENOEXEC);
    EXPECT_EQ(child, nullptr);
}
