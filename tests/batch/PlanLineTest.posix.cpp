// The lines of a plan: each converts its job through clipforge-batch job, with the job's own
// checks, reasons and exit code, from what the line itself carries.
#include "BatchFixture.h"
#include "support/Processes.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <signal.h>

using namespace clipforge::test;

namespace {

const char* const Catalogue = "<commands><profile><format>Fake</format><params>-n -q 1</params><ext>out</ext></profile>"
                              "</commands>";

class PlanLineTest : public BatchFixture {
protected:
    PlanLineTest() : BatchFixture(Catalogue, "") {}  // the fake plays what each source's name asks

    // The plan of a list of these sources (made in the working folder), one line per job.
    std::vector<std::string> planOf(const std::vector<std::string>& names, const std::string& option = {})
    {
        const std::string list = listOf(names);
        const BatchResult plan = runBatch(program, option.empty() ? std::vector<std::string>{"plan", list}
                                                                  : std::vector<std::string>{"plan", option, list});
        EXPECT_EQ(plan.exitCode, 0) << plan.err;
        return lines(plan.out);
    }
    std::string output(const std::string& name) const { return program.path("convert/" + name); }
};

}  // namespace

TEST_F(PlanLineTest, EachLineEndsWithItsJobsOutcomeWhereTheBareConverterWouldNot)
{
    struct Case {
        std::string source;
        int exitCode;
        int rawExitCode;  // the bare converter's line
        std::string line;
        std::string reason;
    };
    const Case cases[] = {
        {"ok.avi", 0, 0, "0\tfinished\t0\t" + output("ok.out"), ""},
        {"nooutput.avi", 1, 0, "1\tfailed\t0\t" + output("nooutput.out"),
         "clipforge-batch: job 1: the converter reported success but wrote no output file\n"},
        {"empty.avi", 1, 0, "2\tfailed\t0\t" + output("empty.out"),
         "clipforge-batch: job 2: the converter reported success but its output file is empty\n"},
        {"fail.avi", 1, 3, "3\tfailed\t3\t" + output("fail.out"), "clipforge-batch: job 3: the converter ended with code 3\n"},
    };
    std::vector<std::string> sources;
    for (const Case& c : cases)
        sources.push_back(c.source);
    const std::vector<std::string> plan = planOf(sources);
    const std::vector<std::string> raw = lines(runBatch(program, {"plan", "--raw", file("q.kxl")}).out);
    ASSERT_EQ(plan.size(), std::size(cases));
    ASSERT_EQ(raw.size(), std::size(cases));
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const Case& c = cases[i];
        const BatchResult run = runProgram("sh", {"-c", plan[i]});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.source;
        EXPECT_EQ(run.out, c.line + "\n") << c.source;
        EXPECT_EQ(run.err, c.reason) << c.source;
        EXPECT_EQ(exists(output(c.source.substr(0, c.source.size() - 4) + ".out")), c.exitCode == 0)
            << c.source << ": a failed job leaves nothing";
        EXPECT_EQ(runProgram("sh", {"-c", raw[i]}).exitCode, c.rawExitCode) << c.source;
    }
}

TEST_F(PlanLineTest, ALineCarriesItsJobWholeAndNeedsNeitherTheListNorTheCatalogueAnyMore)
{
    const std::vector<std::string> plan = planOf({"it's a.avi"});
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0], program.path("clipforge-batch") + " job --index 0 --source '" + file("it'\\''s a.avi") +
                           "' --params '-n -q 1' --ext out --folder " + output("") + " --name 'it'\\''s a.out' </dev/null");
    ASSERT_EQ(std::remove(file("q.kxl").c_str()), 0);
    writeFile(program.path("command"), "<commands/>");
    const BatchResult run = runProgram("sh", {"-c", plan[0]});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readFile(output("it's a.out")), "converted");
}

TEST_F(PlanLineTest, APlannedNameTakenMeanwhileMovesOnAndIsReported)
{
    const std::vector<std::string> plan = planOf({"a.avi"});
    ASSERT_EQ(plan.size(), 1u);
    writeFile(output("a.out"), "another machine's");
    const BatchResult run = runProgram("sh", {"-c", plan[0]});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "0\tfinished\t0\t" + output("a_2.out") + "\n");
    EXPECT_EQ(run.err, "clipforge-batch: job 0: a.out was taken meanwhile; the output is " + output("a_2.out") + "\n");
    EXPECT_EQ(readFile(output("a.out")), "another machine's");
}

TEST_F(PlanLineTest, ANameLongerThanTheFolderAllowsIsCutAndSaidSo)
{
    const std::string name = std::string(296, 'n') + ".out";
    const BatchResult run = runBatch(program, {"job", "--source", touch("a.avi"), "--params", "-n", "--ext", "out",
                                               "--folder", output(""), "--name", name});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string cut = output(std::string(251, 'n') + ".out");
    EXPECT_EQ(run.err, "clipforge-batch: job 0: " + name + " is longer than the folder allows; the output is " + cut + "\n");
    EXPECT_EQ(readFile(cut), "converted");
}

TEST_F(PlanLineTest, ASignalStopsTheJobAndLeavesNothing)
{
    for (const int number : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
        const std::vector<std::string> plan = planOf({"hang.avi"});
        ASSERT_EQ(plan.size(), 1u);
        std::remove(file("hang.avi.pid").c_str());
        // exec, so that the signal reaches clipforge-batch and not a shell in between.
        BatchProcess line("sh", {"-c", "exec " + plan[0]});
        ASSERT_TRUE(waitFor([&] { return !readFile(file("hang.avi.pid")).empty(); })) << number;
        const pid_t converter = std::stoi(readFile(file("hang.avi.pid")));
        line.signal(number);
        const BatchResult run = line.wait();
        EXPECT_EQ(run.exitCode, 130) << number;
        EXPECT_NE(run.err.find("clipforge-batch: job 0: stopped\n"), std::string::npos) << run.err;
        EXPECT_TRUE(waitFor([&] { return processGone(converter); })) << "the converter is gone";
        EXPECT_FALSE(exists(output("hang.out")));
    }
}
