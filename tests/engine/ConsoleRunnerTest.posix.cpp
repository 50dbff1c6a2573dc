#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ConsoleRunnerTestSupport.h"
#include "engine/ProcessTimer.h"
#include "engine/RunnerState.h"

using namespace clipforge::test;
using clipforge::OutputPiece;

namespace clipforge {
void PrintTo(const OutputPiece& piece, std::ostream* out);
}

namespace {

class ConsoleRunnerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(fakeConverterPath().empty());
        recorder.attach(runner);
    }

    template <typename... Actions>
    void run(const Actions&... actions)
    {
        runner.Settings.CommandLine = fakeConverterCommand(actions...);
        runner.Execute();
        ASSERT_TRUE(recorder.waitForEnds());
    }

    TConsoleRunner runner;
    RunnerRecorder recorder;
};

struct ChunkCase {
    const char* name;
    std::vector<std::string> actions;
    std::vector<OutputPiece> expected;
};

class ConsoleRunnerChunks : public ConsoleRunnerTest, public testing::WithParamInterface<ChunkCase> {};

// Each chunk arrives as a read of its own, so the pieces are exactly these.
TEST_P(ConsoleRunnerChunks, DeliversThePiecesInOrder)
{
    const auto& actions = GetParam().actions;
    runner.Settings.CommandLine = fakeConverterPath();
    for (const auto& action : actions)
        runner.Settings.CommandLine += " " + clipforge::quoteArgument(action);
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds());
    EXPECT_EQ(recorder.pieces, GetParam().expected);
    EXPECT_EQ(runner.Lines().items(), recorder.texts());
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{0});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConsoleRunnerChunks,
    testing::Values(
        ChunkCase{"CrLfThenLf", {"chunk=a\\r\\nb\\n"}, {{"a", otEntireLine, rcCRLF}, {"b", otEntireLine, rcLF}}},
        ChunkCase{"ProgressRedraws",
                  {"chunk=50%\\r", "chunk=51%\\r"},
                  {{"50%", otEntireLine, rcLF}, {"51%", otEntireLine, rcLF}}},
        ChunkCase{"CrLfSplitBetweenReads",
                  {"chunk=x\\r", "chunk=\\n\\ny\\n"},
                  {{"x", otEntireLine, rcLF}, {"", otEntireLine, rcLF}, {"y", otEntireLine, rcLF}}},
        ChunkCase{"UnfinishedLineRepeatedAtTheEnd",
                  {"chunk=abc"},
                  {{"abc", otBeginningOfLine, rcCRLF}, {"abc", otBeginningOfLine, rcCRLF}}},
        ChunkCase{"LineFinishedInALaterRead",
                  {"chunk=ab", "chunk=cd\\n"},
                  {{"ab", otBeginningOfLine, rcCRLF}, {"abcd", otEntireLine, rcLF}}},
        ChunkCase{"NulVanishes", {"chunk=a\\0b\\n"}, {{"ab", otEntireLine, rcLF}}},
        ChunkCase{"StandardErrorJoinsTheOutput",
                  {"chunk=out\\n", "err=err\\n"},
                  {{"out", otEntireLine, rcLF}, {"err", otEntireLine, rcLF}}},
        ChunkCase{"OutputJustBeforeTheEndIsRead", {"out=last\\n", "exit=0"}, {{"last", otEntireLine, rcLF}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExitCase {
    const char* name;
    std::string action;
    std::uint32_t exitCode;
};

class ConsoleRunnerExitCodes : public ConsoleRunnerTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(ConsoleRunnerExitCodes, ReportsTheChildsOwnCode)
{
    run(GetParam().action);
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{GetParam().exitCode});
    EXPECT_EQ(recorder.endStatusAtTermination, std::vector<int>{8});
    EXPECT_EQ(runner.EndStatus(), 8);
    EXPECT_EQ(runner.ExitCode(), GetParam().exitCode);
}

// Death by a signal is 128 plus the signal, as shells show it: never 0.
INSTANTIATE_TEST_SUITE_P(Cases, ConsoleRunnerExitCodes,
                         testing::Values(ExitCase{"Zero", "exit=0", 0}, ExitCase{"One", "exit=1", 1},
                                         ExitCase{"Max", "exit=255", 255}, ExitCase{"Killed", "crash=9", 137},
                                         ExitCase{"Segfault", "crash=11", 139}, ExitCase{"Abort", "crash=6", 134}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MissingCase {
    const char* name;
    std::string commandLine;
    std::uint32_t error;
};

class ConsoleRunnerMissingProgram : public ConsoleRunnerTest, public testing::WithParamInterface<MissingCase> {};

TEST_P(ConsoleRunnerMissingProgram, ReportsTheWholeCommandLine)
{
    CapturedStartFailures failures;
    runner.Settings.CommandLine = GetParam().commandLine;
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds());
    ASSERT_TRUE(waitFor([&] { return !failures.messages.empty(); }));
    EXPECT_TRUE(recorder.pieces.empty());
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{GetParam().error});
    EXPECT_EQ(recorder.endStatusAtTermination, std::vector<int>{4});
    EXPECT_EQ(runner.EndStatus(), 5);
    EXPECT_EQ(runner.ExitCode(), GetParam().error);
    EXPECT_EQ(failures.messages, std::vector<std::string>{GetParam().commandLine + " doesn't exist."});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConsoleRunnerMissingProgram,
    testing::Values(MissingCase{"AbsolutePath", "\"/nonexistent/bin/ffmpeg\" -i \"a b.mp4\" \"out.avi\"", ENOENT},
                    MissingCase{"NotInPath", "clipforge-no-such-program --help", ENOENT},
                    MissingCase{"OnlySpaces", "   ", ENOENT}),
    [](const auto& info) { return std::string(info.param.name); });

// Files that exist but cannot be run fail at once, with the error of exec.
TEST_F(ConsoleRunnerTest, FilesThatAreNoProgramsFailToStart)
{
    struct Case {
        const char* content;
        mode_t mode;
        std::uint32_t error;
    };
    for (const Case& c : {Case{"data", 0644, EACCES}, Case{"\x7f" "ELF garbage", 0755, ENOEXEC}}) {
        char path[] = "/tmp/clipforge-not-a-program-XXXXXX";
        const int fd = ::mkstemp(path);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, c.content, std::strlen(c.content)), static_cast<ssize_t>(std::strlen(c.content)));
        ::fchmod(fd, c.mode);
        ::close(fd);
        CapturedStartFailures failures;
        RunnerRecorder recorder;
        recorder.attach(runner);
        runner.Settings.CommandLine = std::string(path) + " -i x";
        runner.Execute();
        ASSERT_TRUE(recorder.waitForEnds());
        ASSERT_TRUE(waitFor([&] { return !failures.messages.empty(); }));
        ::unlink(path);
        EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{c.error});
        EXPECT_EQ(runner.EndStatus(), 5);
        EXPECT_EQ(failures.messages, std::vector<std::string>{runner.Settings.CommandLine + " doesn't exist."});
    }
}

TEST_F(ConsoleRunnerTest, EmptyCommandLineRaisesNoEvent)
{
    runner.Execute();
    keepRunningFor(100);
    EXPECT_TRUE(recorder.exitCodes.empty());
    EXPECT_TRUE(recorder.pieces.empty());
}

TEST_F(ConsoleRunnerTest, ArgumentsReachTheChildUntouchedByAnyShell)
{
    runner.Settings.CommandLine = clipforge::quoteArgument(fakeConverterPath()) +
                         R"( args "a b" "c\"d" "" $(touch /tmp/clipforge-shell-ran) ;)";
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds());
    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"[args]", "[a b]", "[c\"d]", "[]",
                                                          "[$(touch]", "[/tmp/clipforge-shell-ran)]", "[;]"}));
}

TEST_F(ConsoleRunnerTest, ChildLeadsItsGroupDiesWithUsAndInheritsNoDescriptor)
{
    const int stray = ::open("/dev/null", O_RDONLY);  // not close-on-exec on purpose
    ASSERT_GE(stray, 0);
    run("report");
    ::close(stray);
    // A normal-priority child keeps our own nice value, whatever started the tests with.
    const std::string ours = std::to_string(::getpriority(PRIO_PROCESS, 0));
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"pgid=1 pdeathsig=9 fds=0 nice=" + ours});
}

TEST_F(ConsoleRunnerTest, IdlePriorityLowersTheChild)
{
    runner.Settings.Priority = clipforge::IdlePriorityClass;
    run("report");
    ASSERT_EQ(recorder.pieces.size(), 1u);
    EXPECT_NE(recorder.pieces[0].text.find("nice=19"), std::string::npos);
}

TEST_F(ConsoleRunnerTest, StopKillsTheWholeGroupAndReports259)
{
    runner.Settings.OnNewLine = [&](TConsoleRunner* sender, const std::string& line, TOutputType type) {
        recorder.pieces.push_back({line, type, rcCRLF});
        if (line.rfind("pid ", 0) == 0)
            sender->Stop();
    };
    runner.Settings.CommandLine = fakeConverterCommand("ignore-term", "grandchild", "pid", "hang");
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds());
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{259});
    EXPECT_EQ(recorder.endStatusAtTermination, std::vector<int>{9});
    EXPECT_TRUE(reaped(recorder.numberAfter("pid ")));
    const long grandchild = recorder.numberAfter("grandchild ");
    EXPECT_TRUE(waitFor([&] { return processGone(grandchild); }));
}

TEST_F(ConsoleRunnerTest, PiecesAfterAStopAreDropped)
{
    runner.Settings.OnNewLine = [&](TConsoleRunner* sender, const std::string& line, TOutputType type) {
        recorder.pieces.push_back({line, type, rcCRLF});
        sender->Stop();
    };
    run("chunk=a\\nb\\nc", "hang");
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"a"});
    EXPECT_EQ(runner.Lines().items(), std::vector<std::string>{"a"});
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{259});
}

TEST_F(ConsoleRunnerTest, StopThenExecuteLetsTheOldRunReportItsOwnEnd)
{
    runner.Settings.CommandLine = fakeConverterCommand("hang");
    runner.Execute();
    runner.Settings.CommandLine = fakeConverterCommand("exit=3");
    runner.Stop();
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds(2));
    keepRunningFor(50);
    std::vector<std::uint32_t> codes = recorder.exitCodes;
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{3, 259}));
    // However the two ends interleave, the runner describes its latest run.
    EXPECT_EQ(runner.EndStatus(), 8);
    EXPECT_EQ(runner.ExitCode(), 3u);
}

TEST_F(ConsoleRunnerTest, HandlersMayStartTheNextRunFromTheEndOfTheLast)
{
    int started = 1;
    runner.Settings.OnTerminated = [&](TConsoleRunner* sender, std::uint32_t exitCode) {
        recorder.exitCodes.push_back(exitCode);
        if (started < 5) {
            sender->Settings.CommandLine = fakeConverterCommand("exit=" + std::to_string(started++));
            sender->Execute();
        }
    };
    runner.Settings.CommandLine = fakeConverterCommand("exit=0");
    runner.Execute();
    ASSERT_TRUE(recorder.waitForEnds(5));
    EXPECT_EQ(recorder.exitCodes, (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
}

TEST_F(ConsoleRunnerTest, AFailingLineHandlerDoesNotEndTheRun)
{
    runner.Settings.OnNewLine = [&](TConsoleRunner*, const std::string& line, TOutputType type) {
        recorder.pieces.push_back({line, type, rcCRLF});
        throw std::runtime_error("handler failed");
    };
    run("chunk=a\\nb\\n", "exit=4");
    EXPECT_EQ(recorder.texts(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{4});
}

TEST_F(ConsoleRunnerTest, InputLinesAreWrittenAndEchoed)
{
    runner.Settings.InputToOutput = true;
    runner.Settings.KeepInputOpen = true;
    runner.Settings.OnNewLine = [&](TConsoleRunner* sender, const std::string& line, TOutputType type) {
        recorder.pieces.push_back({line, type, rcCRLF});
        if (line == "ready") {
            sender->InputLines().add("hello\n");
            sender->InputLines().add("wor");
            sender->InputLines().add("ld\r\n");
        }
    };
    run("chunk=ready\\n", "echo=2");
    EXPECT_EQ(recorder.pieces, (std::vector<OutputPiece>{{"ready", otEntireLine, rcCRLF},
                                                          {"hello\n", otEntireLine, rcCRLF},
                                                          {"wor", otBeginningOfLine, rcCRLF},
                                                          {"world\r\n", otEntireLine, rcCRLF},
                                                          {"echo:hello", otEntireLine, rcCRLF},
                                                          {"echo:world", otEntireLine, rcCRLF}}));
    EXPECT_TRUE(runner.InputLines().empty());
}
}  // namespace

TEST_F(ConsoleRunnerTest, TheChildsInputEndsAtOnceUnlessKeptOpen)
{
    // A converter that prompts or reads its input must not wait for ever.
    run("stdin");
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"stdin: 0 bytes, then end of file"});
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{0});
}

TEST_F(ConsoleRunnerTest, WhatTheChildStartedEndsWhenItEndsByItself)
{
    run("grandchild", "exit=0");
    const long grandchild = recorder.numberAfter("grandchild ");
    ASSERT_GT(grandchild, 0);
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{0});
    EXPECT_TRUE(waitFor([&] { return processGone(grandchild); }));
}

TEST_F(ConsoleRunnerTest, OutputWithoutLineEndsComesInBoundedLinesAndLinesKeepsATail)
{
    // 3 MiB and a bit, with no line end at all, then one short line.
    const std::size_t total = 3 * clipforge::LineCutter::LongestLine * 16 + 100;
    std::size_t delivered = 0;
    std::size_t longest = 0;
    std::string last;
    runner.Settings.OnNewLine = [&](TConsoleRunner*, const std::string& line, TOutputType type) {
        longest = std::max(longest, line.size());
        if (type == otEntireLine) {
            delivered += line.size();
            last = line;
        }
    };
    run("blob=" + std::to_string(total), "out=\\nend\\n");
    EXPECT_EQ(recorder.exitCodes, std::vector<std::uint32_t>{0});
    EXPECT_EQ(delivered, total + 3) << "no byte lost";
    EXPECT_EQ(last, "end");
    EXPECT_LE(longest, clipforge::LineCutter::LongestLine);
    std::size_t kept = 0;
    for (const std::string& line : runner.Lines().items())
        kept += line.size();
    EXPECT_LE(kept, clipforge::RunnerState::KeptOutputBytes);
    EXPECT_EQ(runner.Lines().items().back(), "end");
}

