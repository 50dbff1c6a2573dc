#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sys/wait.h>

#include "ConsoleRunnerTestSupport.h"
#include "engine/RunnerState.h"
#include "engine/ProcessTimer.h"

using namespace clipforge::test;

namespace {

class ConsoleRunnerLifetime : public testing::Test {};

// Where in a run the runner is destroyed: from outside, from a line handler
// (while its worker waits), from the end-of-run handler.
enum class DestroyedFrom { Outside, LineHandler, EndHandler };

class ConsoleRunnerDestruction : public ConsoleRunnerLifetime, public testing::WithParamInterface<DestroyedFrom> {};

TEST_P(ConsoleRunnerDestruction, KillsTheChildAndRaisesNothingMore)
{
    auto runner = std::make_unique<TConsoleRunner>();
    RunnerRecorder recorder;
    long pid = -1;
    int endsAfterDestruction = 0;
    bool destroyed = false;
    runner->Settings.OnNewLine = [&](TConsoleRunner*, const std::string& line, TOutputType) {
        if (destroyed)
            ++endsAfterDestruction;
        if (line.rfind("pid ", 0) == 0)
            pid = std::stol(line.substr(4));
        if (GetParam() == DestroyedFrom::LineHandler && pid > 0 && !destroyed) {
            destroyed = true;
            runner.reset();
        }
    };
    runner->Settings.OnTerminated = [&](TConsoleRunner* sender, std::uint32_t) {
        if (destroyed)
            ++endsAfterDestruction;
        if (GetParam() == DestroyedFrom::EndHandler) {
            destroyed = true;
            // Start another run first: destruction must end it too.
            sender->Settings.CommandLine = fakeConverterCommand("hang");
            sender->Execute();
            runner.reset();
        }
    };
    const bool hangs = GetParam() != DestroyedFrom::EndHandler;
    runner->Settings.CommandLine = hangs ? fakeConverterCommand("pid", "chunk=a\\nb\\nc\\n", "hang") : fakeConverterCommand("pid");
    runner->Execute();
    ASSERT_TRUE(waitFor([&] { return pid > 0 && (GetParam() == DestroyedFrom::Outside || destroyed); }));
    if (GetParam() == DestroyedFrom::Outside) {
        destroyed = true;
        runner.reset();
    }
    EXPECT_TRUE(waitFor([&] { return reaped(pid); }));
    keepRunningFor(100);
    EXPECT_EQ(endsAfterDestruction, 0);
}

std::string destructionName(const testing::TestParamInfo<DestroyedFrom>& info)
{
    switch (info.param) {
    case DestroyedFrom::Outside:
        return "Outside";
    case DestroyedFrom::LineHandler:
        return "LineHandler";
    case DestroyedFrom::EndHandler:
        return "EndHandler";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Cases, ConsoleRunnerDestruction,
                         testing::Values(DestroyedFrom::Outside, DestroyedFrom::LineHandler, DestroyedFrom::EndHandler),
                         destructionName);

TEST_F(ConsoleRunnerLifetime, DestructionEndsStoppedRunsAsWell)
{
    long first = -1;
    {
        TConsoleRunner runner;
        RunnerRecorder recorder;
        recorder.attach(runner);
        runner.Settings.CommandLine = fakeConverterCommand("ignore-term", "pid", "hang");
        runner.Execute();
        ASSERT_TRUE(waitFor([&] { return recorder.sawLineStartingWith("pid "); }));
        first = recorder.numberAfter("pid ");
        runner.Stop();
        runner.Execute();
    }
    EXPECT_TRUE(waitFor([&] { return reaped(first); }));
}

struct TimeoutCase {
    const char* name;
    std::int32_t afterBeginning;
    std::int32_t afterLastOutput;
    std::vector<std::string> actions;
    int endStatus;
    std::uint32_t exitCode;
};

class ConsoleRunnerTimeouts : public ConsoleRunnerLifetime, public testing::WithParamInterface<TimeoutCase> {};

TEST_P(ConsoleRunnerTimeouts, EndTheRunAsConfigured)
{
    TConsoleRunner runner;
    RunnerRecorder recorder;
    recorder.attach(runner);
    runner.Settings.MaxTimeAfterBeginning = GetParam().afterBeginning;
    runner.Settings.MaxTimeAfterLastOutput = GetParam().afterLastOutput;
    runner.Settings.CommandLine = fakeConverterPath();
    for (const auto& action : GetParam().actions)
        runner.Settings.CommandLine += " " + clipforge::quoteArgument(action);
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds());
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{GetParam().exitCode});
    EXPECT_EQ(recorder.endStatusAtTermination, std::vector<int>{GetParam().endStatus});
    EXPECT_FALSE(runner.timer()->isActive());
}

// Output every 300 ms keeps a two-second silence limit from firing; the counts
// only move on the main thread's timer, so a slow machine makes them late,
// never early.
INSTANTIATE_TEST_SUITE_P(
    Cases, ConsoleRunnerTimeouts,
    testing::Values(TimeoutCase{"SinceBeginning", 1, 0, {"hang"}, 10, 259},
                    TimeoutCase{"SinceLastOutput", 0, 1, {"out=a\\n", "hang"}, 10, 259},
                    TimeoutCase{"OutputKeepsTheRunAlive",
                                0,
                                2,
                                {"out=1\\n", "sleep=300", "out=2\\n", "sleep=300", "out=3\\n", "sleep=300", "out=4\\n",
                                 "sleep=300", "out=5\\n", "sleep=300", "out=6\\n", "sleep=300", "out=7\\n", "sleep=300",
                                 "out=8\\n", "sleep=300", "out=9\\n", "sleep=300", "exit=0"},
                                8,
                                0},
                    TimeoutCase{"NoLimitWhenZeroOrLess", -1, 0, {"sleep=1500", "exit=2"}, 8, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConsoleRunnerLifetime, FiftyMegabytesArriveWithoutLoss)
{
    constexpr long LineCount = 655360;  // of 80 bytes: 50 MiB
    TConsoleRunner runner;
    long expected = 0;
    long bad = 0;
    long beginnings = 0;
    int ends = 0;
    runner.Settings.OnNewLine = [&](TConsoleRunner*, const std::string& line, TOutputType type) {
        if (type != otEntireLine) {
            ++beginnings;
            return;
        }
        char number[16];
        std::snprintf(number, sizeof number, "%08ld ", expected++);
        if (line.size() != 79 || line.compare(0, 9, number) != 0)
            ++bad;
    };
    runner.Settings.OnTerminated = [&](TConsoleRunner*, std::uint32_t) { ++ends; };
    runner.Settings.CommandLine = fakeConverterCommand("flood=" + std::to_string(LineCount) + ",80");
    runner.Execute();
    ASSERT_TRUE(waitFor([&] { return ends == 1; }, 120000));
    EXPECT_EQ(expected, LineCount);
    EXPECT_EQ(bad, 0);
    // Lines keeps the newest megabyte, ending with the last line.
    const std::vector<std::string> kept = runner.Lines().items();
    std::size_t keptBytes = 0;
    for (const std::string& text : kept)
        keptBytes += text.size();
    EXPECT_LE(keptBytes, clipforge::RunnerState::KeptOutputBytes);
    EXPECT_GT(keptBytes, clipforge::RunnerState::KeptOutputBytes - 80);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.back().compare(0, 9, "00655359 "), 0);
    EXPECT_LE(static_cast<long>(kept.size()), LineCount + beginnings);
}

// A screen-like copy: a beginning of line is replaced by what follows it.
class RecordingLines : public clipforge::OutputLineList {
public:
    std::vector<std::string> lines;
    int openUpdates = 0;
    int updates = 0;

    void beginUpdate() override { ++openUpdates; }
    void endUpdate() override
    {
        --openUpdates;
        ++updates;
    }
    std::size_t count() const override { return lines.size(); }
    void add(const std::string& line) override { lines.push_back(line); }
    void replaceLast(const std::string& line) override { lines.back() = line; }
};

TEST_F(ConsoleRunnerLifetime, OutputLinesKeepAScreenLikeCopy)
{
    TConsoleRunner runner;
    RunnerRecorder recorder;
    recorder.attach(runner);
    RecordingLines screen;
    runner.OutputLines = &screen;
    runner.Settings.CommandLine = fakeConverterCommand("chunk=ab", "chunk=cd\\n", "chunk=50%\\r", "chunk=51%\\rtail");
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds());
    EXPECT_EQ(screen.lines, (std::vector<std::string>{"abcd", "50%", "51%", "tail"}));
    EXPECT_EQ(screen.openUpdates, 0);
    EXPECT_EQ(screen.updates, static_cast<int>(recorder.pieces.size()));
}

}  // namespace
