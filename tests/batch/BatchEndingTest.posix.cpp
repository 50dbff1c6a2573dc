// Every way a clipforge-batch run can be ended from outside: signals, a reader that goes away,
// kill -9. Each ends the run cleanly or, for kill -9, leaves no converter behind.
#include "BatchFixture.h"
#include "support/Processes.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <signal.h>

using namespace clipforge::test;

namespace {

// Shells start background jobs with SIGINT and SIGQUIT ignored; nohup ignores SIGHUP.
const char* const Background = "trap '' INT QUIT; exec \"$0\" \"$@\"";
const char* const NoHangUp = "trap '' HUP; exec \"$0\" \"$@\"";
// timeout passes a signal it gets on to the program and then to its whole process group: the
// program gets it twice at once.
const char* const UnderTimeout = "exec timeout -s INT 1000 \"$0\" \"$@\"";
// A reader that takes the first line and goes away.
const char* const FirstLineOnly = "set -o pipefail; \"$0\" \"$@\" | head -1";

class BatchEndingTest : public BatchFixture {
protected:
    // The process ids the hanging job recorded, once both are there.
    std::vector<std::string> hangingProcesses()
    {
        std::vector<std::string> pids;
        EXPECT_TRUE(waitFor([&] {
            return !readFile(file("flee.avi.pid")).empty() && !readFile(file("flee.avi.helper")).empty();
        }));
        for (const char* suffix : {".pid", ".helper"}) {
            std::string pid = readFile(file(std::string("flee.avi") + suffix));
            pid.erase(pid.find_last_not_of('\n') + 1);
            pids.push_back(pid);
        }
        return pids;
    }
    void expectGone(const std::vector<std::string>& pids)
    {
        for (const std::string& pid : pids)
            EXPECT_TRUE(waitFor([&] { return processGone(std::stol(pid)); })) << "process " << pid << " outlived the run";
    }
};

}  // namespace

TEST_F(BatchEndingTest, EverySignalAndAReaderThatGoesAwayEndARunCleanly)
{
    const char* const Stopped = "clipforge-batch: job 1: stopped\n";
    const struct {
        const char* name;
        int signal;
        const char* shell;  // how the program is started
        int endingSignal;   // how the program itself ends: 0 for exit code 130
        bool wholeReport;   // or only its first line
        const char* reason;
    } cases[] = {
        {"SIGINT", SIGINT, nullptr, SIGINT, true, Stopped},
        {"SIGTERM", SIGTERM, nullptr, 0, true, Stopped},
        {"SIGHUP", SIGHUP, nullptr, 0, true, Stopped},
        {"SIGQUIT", SIGQUIT, nullptr, 0, true, Stopped},
        {"SIGINT to a background job", SIGINT, Background, SIGINT, true, Stopped},
        {"SIGQUIT to a background job", SIGQUIT, Background, 0, true, Stopped},
        {"a reader that goes away", 0, FirstLineOnly, 0, false, "standard output was closed"},
        {"SIGINT through timeout", SIGINT, UnderTimeout, SIGINT, true, Stopped},
        {"SIGINT through timeout again", SIGINT, UnderTimeout, SIGINT, true, Stopped},
        {"SIGINT through timeout a third time", SIGINT, UnderTimeout, SIGINT, true, Stopped},
    };
    const std::string list = listOf({"a.avi", "flee.avi", "c.avi"});
    const std::string finished = "0\tfinished\t0\t" + program.path("convert/a.out") + "\n";
    const std::string report =
        finished + "1\tfailed\t259\t" + program.path("convert/flee.out") + "\n3 files, finished 1 of 3\n";
    for (const auto& c : cases) {
        ::unlink(file("flee.avi.pid").c_str());
        ::unlink(file("flee.avi.helper").c_str());
        ::unlink(program.path("convert/a.out").c_str());
        const std::string batch = program.path("clipforge-batch");
        BatchProcess run = c.shell ? BatchProcess("/bin/bash", {"-c", c.shell, batch, "convert", list})
                                   : BatchProcess(program, {"convert", list});
        const std::vector<std::string> pids = hangingProcesses();
        if (c.signal)
            run.signal(c.signal);
        const BatchResult result = run.wait();
        EXPECT_EQ(result.exitCode, 130) << c.name;
        EXPECT_EQ(result.signal, c.endingSignal) << c.name;
        EXPECT_EQ(result.out, c.wholeReport ? report : finished) << c.name;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << c.name << result.err;
        EXPECT_EQ(outputFolder(), std::vector<std::string>{"a.out"}) << c.name << ": only the finished job's output is left";
        expectGone(pids);
    }
}

TEST_F(BatchEndingTest, AHangUpIgnoredAtTheStartStaysIgnored)
{
    const std::string list = listOf({"a.avi", "wait.avi"});
    BatchProcess run("/bin/sh", {"-c", NoHangUp, program.path("clipforge-batch"), "convert", list});
    ASSERT_TRUE(waitFor([&] { return !run.outSoFar().empty(); }));
    run.signal(SIGHUP);
    writeFile(file("wait.avi.go"), "");
    const BatchResult result = run.wait();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readFile(program.path("convert/wait.out")), "converted");
}

TEST_F(BatchEndingTest, NothingTheConverterStartedOutlivesKillMinus9)
{
    const std::string list = listOf({"flee.avi"});
    BatchProcess run(program, {"convert", list});
    const std::vector<std::string> pids = hangingProcesses();
    run.signal(SIGKILL);
    EXPECT_EQ(run.wait().signal, SIGKILL);
    expectGone(pids);
}
