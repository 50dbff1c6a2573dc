// Every way a clipforge-batch run can be ended from outside: signals, a reader that goes away,
// kill -9. Each ends the run cleanly or, for kill -9, leaves no converter behind.
#include "BatchFixture.h"
#include "support/Processes.h"
#include "support/Wait.h"

#include <QDir>

#include <gtest/gtest.h>

#include <signal.h>


using namespace clipforge::test;

namespace {

const char* const Catalogue = "<commands><profile><format>Fake</format><params>-q</params><ext>out</ext></profile></commands>";

class BatchEndingTest : public BatchFixture {
protected:
    BatchEndingTest() : BatchFixture(Catalogue, "") {}  // the fake plays what each source's name asks

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

TEST_F(BatchEndingTest, NothingTheConverterStartedOutlivesKillMinus9)
{
    const std::string list = listOf({"flee.avi"});
    BatchProcess run(program, {"convert", list});
    const std::vector<std::string> pids = hangingProcesses();
    run.signal(SIGKILL);
    EXPECT_EQ(run.wait().exitCode, 128 + SIGKILL);
    expectGone(pids);
}
