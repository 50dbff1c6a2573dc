// clipforge-batch with the real converter: generated clips in, probed outputs out.
#include "BatchRun.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

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
    QTemporaryDir work;

    void SetUp() override
    {
        if (QStandardPaths::findExecutable("ffmpeg").isEmpty() || QStandardPaths::findExecutable("ffprobe").isEmpty())
            GTEST_SKIP() << "ffmpeg and ffprobe are needed";
        ASSERT_TRUE(program.valid());
    }
    std::string file(const std::string& name) const { return work.path().toStdString() + "/" + name; }

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

namespace {

// A 1 MB file system of its own, mounted for as long as the test needs it.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& folder) : folder_(folder)
    {
        std::filesystem::create_directories(folder);
        mounted_ = ::geteuid() == 0 && runProgram("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", folder}).exitCode == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            runProgram("umount", {folder_});
    }
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

}  // namespace

TEST_F(BatchFfmpegTest, AFullDiskFailsTheJobsWithItsReasonAndLeavesNoFile)
{
    const SmallDisk disk(file("small"));
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

TEST_F(BatchFfmpegTest, AnOutputThatAppearedBeforeTheConverterWroteIsLeftUntouched)
{
    // Writes over its output name first, as someone else might while the converter starts, then
    // runs the real converter, which must refuse that file.
    const ProgramFolder planting(Catalogue, "squat");
    ASSERT_TRUE(planting.valid());
    makeQueue({"a.avi"}, planting);
    const BatchResult result = runBatch(planting, {"convert", file("queue.kxl")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "clipforge-batch: job 0: File '" + planting.path("convert/a.mp4") + "' already exists. Exiting.\n");
    EXPECT_EQ(readFile(planting.path("convert/a.mp4")), "planted");
}

