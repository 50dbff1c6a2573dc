// clipforge-batch with the real converter: generated clips in, probed outputs out.
#include "BatchRun.h"
#include "support/SmallDisk.h"
#include "support/TempFolder.h"
#include "support/Wait.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

using namespace clipforge::test;

namespace {

const char* const Catalogue = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<commands>\n"
                              "<profile><format>MP4 (MPEG-4 + AAC)</format>"
                              "<params>-n -c:v mpeg4 -q:v 5 -c:a aac -b:a 64k</params><ext>mp4</ext></profile>\n"
                              "<profile><format>WAV</format><params>-n -vn -c:a pcm_s16le</params><ext>wav</ext></profile>\n"
                              "</commands>\n";

// Spaces, both quotes, UTF-8 and a byte that is not UTF-8 at all.
const std::string OddName = "it's \"odd\" Caf\xC3\xA9 \xE9 clip.mov";

class BatchFfmpegTest : public ::testing::Test {
protected:
    ProgramFolder program{Catalogue};
    TempFolder work;  // removes the odd name, which is not UTF-8

    void SetUp() override
    {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty() || QStandardPaths::findExecutable("ffprobe").isEmpty())
            GTEST_SKIP() << "ffmpeg and ffprobe are needed";
        ASSERT_TRUE(program.valid());
    }
    std::string file(const std::string& name) const { return work.path() + name; }

    void makeClip(const std::string& name) const
    {
        const BatchResult made = runProgram(
            "ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=duration=1:size=160x120:rate=10", "-f", "lavfi",
                       "-i", "sine=duration=1", "-c:v", "mpeg4", "-c:a", "mp2", "-shortest", file("generated.avi")});
        ASSERT_EQ(made.exitCode, 0) << made.err;
        std::filesystem::rename(file("generated.avi"), file(name));
    }
    // Makes each clip and a list queue.kxl of them all with profile 0.
    void makeQueue(const std::vector<std::string>& clips, const ProgramFolder& in) const
    {
        std::vector<std::string> arguments{"make", file("queue.kxl"), "--profile", "0"};
        for (const std::string& clip : clips) {
            makeClip(clip);
            arguments.push_back(file(clip));
        }
        ASSERT_EQ(runBatch(in, arguments).exitCode, 0);
    }
    std::string probe(const std::string& path) const
    {
        return runProgram("ffprobe", {"-v", "error", "-show_entries", "stream=codec_name:format=format_name", "-of",
                                      "default=noprint_wrappers=1", path})
            .out;
    }
};

}  // namespace

TEST_F(BatchFfmpegTest, AQueueOfClipsConvertsEndToEnd)
{
    const std::vector<std::string> clips{"first.avi", "second clip.avi", OddName};
    makeQueue(clips, program);
    writeFile(program.path("convert/first.mp4"), "precious");

    const BatchResult result = runBatch(program, {"convert", file("queue.kxl")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> outputs{program.path("convert/first_2.mp4"), program.path("convert/second clip.mp4"),
                                           program.path("convert/it's \"odd\" Caf\xC3\xA9 \xE9 clip.mp4")};
    EXPECT_EQ(lines(result.out), (std::vector<std::string>{"0\tfinished\t0\t" + outputs[0], "1\tfinished\t0\t" + outputs[1],
                                                           "2\tfinished\t0\t" + program.path("convert/it's \"odd\" Caf\xC3\xA9 \\xe9 clip.mp4"),
                                                           "3 files, finished 3 of 3"}));
    for (const std::string& output : outputs) {
        const std::string streams = probe(output);
        EXPECT_NE(streams.find("codec_name=mpeg4"), std::string::npos) << output << "\n" << streams;
        EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << output << "\n" << streams;
        EXPECT_NE(streams.find("format_name=mov,mp4"), std::string::npos) << output << "\n" << streams;
    }
    EXPECT_EQ(readFile(program.path("convert/first.mp4")), "precious");
    for (const std::string& clip : clips)
        EXPECT_TRUE(std::filesystem::exists(file(clip))) << "a source is never touched";
}

TEST_F(BatchFfmpegTest, AnOutputFolderThatDoesNotExistFailsTheJobWithoutCreatingIt)
{
    makeClip("a.avi");
    ASSERT_EQ(runBatch(program, {"make", file("q.kxl"), "--profile", "0", "--folder", file("nowhere"), file("a.avi")}).exitCode, 0);
    const BatchResult result = runBatch(program, {"convert", file("q.kxl")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(lines(result.out).back(), "1 files, finished 0 of 1");
    EXPECT_FALSE(std::filesystem::exists(file("nowhere")));
}

TEST_F(BatchFfmpegTest, APlanRunByGnuParallelConvertsEveryJob)
{
    if (QStandardPaths::findExecutable("parallel").isEmpty())
        GTEST_SKIP() << "GNU parallel (Debian package parallel) is needed";
    std::filesystem::create_directory(file("again"));
    makeQueue({"first.avi", "again/first.avi", OddName}, program);
    const BatchResult plan = runBatch(program, {"plan", file("queue.kxl")});
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    writeFile(file("plan.sh"), plan.out);

    // The recipe of the README, with the commands read from standard input.
    const BatchResult run = runProgram("sh", {"-c", "parallel -j2 < \"$1\"", "sh", file("plan.sh")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const std::string name : {"first.mp4", "first_2.mp4", "it's \"odd\" Caf\xC3\xA9 \xE9 clip.mp4"}) {
        const std::string streams = probe(program.path("convert/" + name));
        EXPECT_NE(streams.find("codec_name=mpeg4"), std::string::npos) << name << "\n" << streams;
        EXPECT_NE(streams.find("codec_name=aac"), std::string::npos) << name << "\n" << streams;
    }
}

TEST_F(BatchFfmpegTest, AMissingSourcesReasonNamesTheFile)
{
    makeQueue({"gone.avi"}, program);
    std::filesystem::remove(file("gone.avi"));
    const BatchResult result = runBatch(program, {"convert", file("queue.kxl")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "clipforge-batch: job 0: " + file("gone.avi") + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(program.path("convert/gone.mp4")));
}

TEST_F(BatchFfmpegTest, AFullDiskFailsTheJobsWithItsReasonAndLeavesNoFile)
{
    const SmallDisk disk(file("small"), "1m");
    if (!disk.mounted())
        GTEST_SKIP() << "a full disk needs a 1 MB tmpfs, and mounting one needs root";
    // 30 seconds of sound: about 2.6 MB as WAV, more than the disk holds.
    const BatchResult made = runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=30", "-c:a", "mp2",
                                                   file("long.avi")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    std::filesystem::copy_file(file("long.avi"), file("long2.avi"));
    ASSERT_EQ(runBatch(program, {"make", file("q.kxl"), "--profile", "1", "--folder", file("small"), file("long.avi"),
                                 file("long2.avi")})
                  .exitCode,
              0);
    const BatchResult result = runBatch(program, {"convert", file("q.kxl")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(lines(result.out).back(), "2 files, finished 0 of 2");
    const std::vector<std::string> reasons = lines(result.err);
    ASSERT_EQ(reasons.size(), 2u) << result.err;
    for (const std::string& reason : reasons)
        EXPECT_NE(reason.find("No space left on device"), std::string::npos) << reason;
    EXPECT_TRUE(std::filesystem::is_empty(file("small"))) << "no broken output is left on the disk";
}

// The converter writes in a private folder, so a file that takes the name meanwhile (written
// there, or moved onto it) is neither refused by it nor touched: the output is committed under
// the next free name, which is the one reported.
TEST_F(BatchFfmpegTest, AnOutputThatAppearedBeforeTheConverterWroteIsLeftUntouched)
{
    for (const char* mode : {"squat", "move"}) {
        const ProgramFolder planting(Catalogue, std::string(mode));
        ASSERT_TRUE(planting.valid());
        makeQueue({"a.avi"}, planting);
        const BatchResult result = runBatch(planting, {"convert", "--json", file("queue.kxl")});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(result.out.find("\"event\":\"job-ended\""), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("\"output\":\"" + planting.path("convert/a_2.mp4") + "\""), std::string::npos) << result.out;
        EXPECT_EQ(readFile(planting.path("convert/a.mp4")), "planted");
        EXPECT_NE(probe(planting.path("convert/a_2.mp4")).find("codec_name=mpeg4"), std::string::npos);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(planting.path("convert")), {}), 2);
    }
}

namespace {

// The private folders in folder, and whether any holds its output yet.
std::vector<std::string> privateFolders(const std::string& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind(".clipforge-partial.", 0) == 0)
            found.push_back(entry.path().string());
    }
    return found;
}

bool writing(const std::string& privateFolder, const std::string& name)
{
    return std::filesystem::exists(privateFolder + "/" + name);
}

}  // namespace

// kill -9 leaves nothing under a real name; the next run in that folder clears the dead run's
// private folder, but not the folder of a run that is still going.
TEST_F(BatchFfmpegTest, AKilledRunLeavesNoOutputAndTheNextRunClearsItsLeftoverButNoLiveOnes)
{
    const ProgramFolder paced(Catalogue, std::string("paced"));
    ASSERT_TRUE(paced.valid());
    std::filesystem::create_directory(file("out"));
    const BatchResult made = runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=duration=60:size=160x120:rate=10",
                                                   "-c:v", "mpeg4", file("long.avi")});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    std::filesystem::copy_file(file("long.avi"), file("live.avi"));
    makeClip("b.avi");
    for (const char* name : {"long", "live", "b"}) {
        ASSERT_EQ(runBatch(paced, {"make", file(std::string(name) + ".kxl"), "--profile", "0", "--folder", file("out/"),
                                   file(std::string(name) + ".avi")})
                      .exitCode,
                  0);
    }
    BatchProcess killed(paced, {"convert", file("long.kxl")});
    BatchProcess live(paced, {"convert", file("live.kxl")});
    const auto bothWriting = [&] {
        const std::vector<std::string> folders = privateFolders(file("out"));
        return folders.size() == 2 && std::all_of(folders.begin(), folders.end(), [](const std::string& folder) {
                   return writing(folder, "long.mp4") || writing(folder, "live.mp4");
               });
    };
    ASSERT_TRUE(waitFor(bothWriting));
    killed.signal(SIGKILL);
    killed.wait();
    EXPECT_FALSE(exists(file("out/long.mp4")));
    EXPECT_EQ(privateFolders(file("out")).size(), 2u) << "a dead run's folder stays until the next run";

    const BatchResult next = runBatch(program, {"convert", file("b.kxl")});
    EXPECT_EQ(next.exitCode, 0) << next.err;
    const std::vector<std::string> left = privateFolders(file("out"));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(writing(left[0], "live.mp4")) << "the running run's folder survives";
    EXPECT_FALSE(exists(file("out/long.mp4")));
    EXPECT_TRUE(exists(file("out/b.mp4")));
    live.signal(SIGINT);
    EXPECT_EQ(live.wait().exitCode, 130);
    EXPECT_TRUE(privateFolders(file("out")).empty()) << "a stopped job takes its private folder with it";
    EXPECT_FALSE(exists(file("out/live.mp4")));
}

