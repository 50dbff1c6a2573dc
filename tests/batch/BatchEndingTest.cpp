// Every way a clipforge-batch run can be ended from outside: signals, a reader that goes away,
// kill -9. Each ends the run cleanly or, for kill -9, leaves no converter behind.
#include "BatchFixture.h"

#include <QDir>

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace clipforge::test;

namespace {

// "-i" SOURCE PARAMS... OUTPUT. A source named "hang" writes part of its output, starts a
// helper that leaves its process group (setsid), records both process ids beside the source and
// sleeps; "wait" waits until SOURCE.go appears; any other writes its output.
const char* const Converter = R"(#!/bin/sh
source=$2
for output; do :; done
case "$source" in
  *hang*) printf 'part' > "$output"
          setsid sh -c 'echo $$ > "$0.helper"; exec sleep 600' "$source" </dev/null >/dev/null 2>&1 &
          echo $$ > "$source.pid"; exec sleep 600 ;;
  *wait*) while [ ! -e "$source.go" ]; do sleep 0.05; done ;;
esac
printf 'converted' > "$output"
)";

const char* const Catalogue = "<commands><profile><format>Fake</format><params>-q</params><ext>out</ext></profile></commands>";

bool waitUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool processGone(const std::string& pid)
{
    const std::string stat = readFile("/proc/" + pid + "/stat");
    const auto state = stat.rfind(')');
    return state == std::string::npos || (state + 2 < stat.size() && stat[state + 2] == 'Z');
}

class BatchEndingTest : public BatchFixture {
protected:
    BatchEndingTest() : BatchFixture(Catalogue, Converter) {}

    std::string listOf(const std::vector<std::string>& names)
    {
        std::vector<std::string> arguments{"make", file("q.kxl"), "--profile", "0"};
        for (const std::string& name : names)
            arguments.push_back(touch(name));
        EXPECT_EQ(runBatch(program, arguments).exitCode, 0);
        return file("q.kxl");
    }
    std::vector<std::string> outputFolder() const
    {
        const QDir folder(QString::fromStdString(program.path("convert")));
        std::vector<std::string> names;
        for (const QString& name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            names.push_back(name.toStdString());
        return names;
    }
    // The process ids the hanging job recorded, once both are there.
    std::vector<std::string> hangingProcesses()
    {
        std::vector<std::string> pids;
        EXPECT_TRUE(waitUntil([&] {
            return !readFile(file("hang.avi.pid")).empty() && !readFile(file("hang.avi.helper")).empty();
        }));
        for (const char* suffix : {".pid", ".helper"}) {
            std::string pid = readFile(file(std::string("hang.avi") + suffix));
            pid.erase(pid.find_last_not_of('\n') + 1);
            pids.push_back(pid);
        }
        return pids;
    }
    void expectGone(const std::vector<std::string>& pids)
    {
        for (const std::string& pid : pids)
            EXPECT_TRUE(waitUntil([&] { return processGone(pid); })) << "process " << pid << " outlived the run";
    }
};

}  // namespace

TEST_F(BatchEndingTest, NothingTheConverterStartedOutlivesKillMinus9)
{
    const std::string list = listOf({"hang.avi"});
    BatchProcess run(program, {"convert", list});
    const std::vector<std::string> pids = hangingProcesses();
    run.signal(SIGKILL);
    EXPECT_EQ(run.wait().exitCode, 128 + SIGKILL);
    expectGone(pids);
}
