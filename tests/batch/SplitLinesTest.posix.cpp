// plan --split's lines with the real converter: run in any order, twice, two at once, or with
// another run's sweep between them, they commit exactly one output, bit for bit the same, and
// leave no folder of theirs behind.
#include "BatchRun.h"

#include "core/FileSystem.h"
#include "core/UnfinishedNames.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdlib.h>
#include <sys/stat.h>

namespace clipforge::test {
namespace {

const std::string Theora = "11";  // the shipped OGV profile

class SplitLinesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.valid());
        const BatchResult made = runProgram(
            "ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25", "-f", "lavfi", "-i",
                       "sine=frequency=440:sample_rate=48000", "-t", "24", "-c:v", "mpeg4", "-g", "25", "-c:a", "aac",
                       file("src.mp4")});
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }

    std::string file(const std::string& name) const { return folder.path() + name; }

    // The lines of a plan converting src.mp4 into the folder out: the sound's, then three parts'.
    std::vector<std::string> plan(const std::string& out, const std::string& source = "src.mp4")
    {
        std::filesystem::create_directories(file(out));
        const std::string list = file(out + ".kxl");
        EXPECT_EQ(runBatch(program, {"make", list, "--profile", Theora, "--folder", file(out), file(source)}).exitCode, 0);
        const BatchResult planned = runBatch(program, {"plan", list, "--split", "--split-min", "10", "--parts", "3"});
        EXPECT_EQ(planned.exitCode, 0) << planned.err;
        return lines(planned.out);
    }
    BatchResult run(const std::string& line) { return runProgram("sh", {"-c", line}); }
    // What each line printed, all of them exiting 0.
    std::string runAll(const std::vector<std::string>& lines, const std::vector<std::size_t>& order)
    {
        std::string printed;
        for (const std::size_t at : order) {
            const BatchResult ran = run(lines.at(at));
            EXPECT_EQ(ran.exitCode, 0) << "line " << at << ": " << ran.err;
            printed += ran.out;
        }
        return printed;
    }
    std::set<std::string> names(const std::string& out) const
    {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(file(out)))
            found.insert(entry.path().filename().string());
        return found;
    }
    std::string frames(const std::string& path)
    {
        return runProgram("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v", "-show_entries",
                                      "stream=nb_read_frames", "-of", "csv=p=0", path})
            .out;
    }
    std::string finished(const std::string& out) { return "0\tfinished\t0\t" + file(out + "/src.ogv") + "\n"; }

    ProgramFolder program{readFile(CLIPFORGE_SHIPPED_CATALOGUE)};
    TempFolder folder;
};

TEST_F(SplitLinesTest, LinesInAnyOrderCommitOneWholeOutputAndRunAgainChangeNothing)
{
    const std::vector<std::vector<std::size_t>> orders{{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 3, 0, 2}};
    for (std::size_t row = 0; row < orders.size(); ++row) {
        const std::string out = "order" + std::to_string(row);
        const std::vector<std::string> lines = plan(out);
        ASSERT_EQ(lines.size(), 4u) << "the sound and three parts";
        EXPECT_NE(lines[0].find("--split-part sound"), std::string::npos) << lines[0];
        EXPECT_EQ(runAll(lines, orders[row]), finished(out)) << "only the committing line prints";
        EXPECT_EQ(names(out), std::set<std::string>{"src.ogv"}) << out;
        EXPECT_EQ(frames(file(out + "/src.ogv")), "600\n") << out;
        const FileIdentity committed = fileStatus(file(out + "/src.ogv")).identity;
        EXPECT_EQ(runAll(lines, {0, 1, 2, 3}), "") << "every line ends at once";
        EXPECT_EQ(fileStatus(file(out + "/src.ogv")).identity, committed) << out;
        EXPECT_EQ(names(out), std::set<std::string>{"src.ogv"}) << out;
    }
}

TEST_F(SplitLinesTest, TwoLinesJoiningAtOnceCommitOneOutputThatIsTheSameBytesEveryTime)
{
    const std::vector<std::string> lines = plan("out");
    runAll(lines, {0, 1, 2});
    BatchProcess first("sh", {"-c", lines[3]}), second("sh", {"-c", lines[3]});
    const BatchResult one = first.wait(), other = second.wait();
    EXPECT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(other.exitCode, 0) << other.err;
    EXPECT_EQ(one.out + other.out, finished("out")) << "one committed, the other found it done";
    EXPECT_EQ(names("out"), std::set<std::string>{"src.ogv"});

    std::filesystem::rename(file("out/src.ogv"), file("out/first.ogv"));
    EXPECT_EQ(runAll(lines, {3, 2, 1, 0}), finished("out"));
    EXPECT_TRUE(readFile(file("out/src.ogv")) == readFile(file("out/first.ogv"))) << "the join is bit-exact";
}

TEST_F(SplitLinesTest, AnotherRunsSweepBetweenTwoLinesLeavesThePiecesAlone)
{
    const std::vector<std::string> lines = plan("out");
    runAll(lines, {0, 1});
    std::string dead = file("out/") + privateFolderTemplate();
    ASSERT_NE(::mkdtemp(dead.data()), nullptr);
    writeFile(dead + "/" + privateFolderLockName, "");

    const BatchResult made = runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25",
                                                   "-t", "1", file("other.mp4")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    ASSERT_EQ(runBatch(program, {"make", file("other.kxl"), "--profile", Theora, "--folder", file("out"), file("other.mp4")}).exitCode, 0);
    ASSERT_EQ(runBatch(program, {"convert", file("other.kxl")}).exitCode, 0);
    EXPECT_FALSE(exists(dead)) << "the run swept the dead writer's folder";

    EXPECT_EQ(runAll(lines, {2, 3}), finished("out")) << "the first two pieces were still there";
    EXPECT_EQ(names("out"), (std::set<std::string>{"src.ogv", "other.ogv"}));
    EXPECT_EQ(frames(file("out/src.ogv")), "600\n");
}

TEST_F(SplitLinesTest, AFailedPieceSaysWhyAndItsLineAloneRedoesIt)
{
    const std::vector<std::string> lines = plan("out");
    const std::string converter = program.path("bin/ffmpeg");
    std::filesystem::rename(converter, converter + ".real");
    writeFile(converter, "#!/bin/sh\necho 'no room for this part' >&2\nexit 1\n");
    ::chmod(converter.c_str(), 0755);
    const BatchResult failed = run(lines[2]);
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find("clipforge-batch: job 0: part-2.ogv: "), std::string::npos) << failed.err;

    std::filesystem::remove(converter);
    std::filesystem::rename(converter + ".real", converter);
    EXPECT_EQ(runAll(lines, {0, 1, 3, 2}), finished("out"));
    EXPECT_EQ(names("out"), std::set<std::string>{"src.ogv"}) << "nothing of the failed piece is left";
}

}  // namespace
}  // namespace clipforge::test
