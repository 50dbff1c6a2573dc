// Outputs checked against their sources with the real converter: what a converter that stops
// early or drops the sound leaves fails its job, and no right output of a real file does.
#include "BatchRun.h"

#include "engine/CommandLineSplitter.h"
#include "support/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace clipforge::test {
namespace {

const char* const Catalogue =
    "<commands>"
    "<profile><format>Convert</format><params>-map 0:v:0? -map 0:a:0? -c:v mpeg4 -c:a mp2</params><ext>mkv</ext></profile>"
    "<profile><format>Copy</format><params>-map 0 -c copy</params><ext>mkv</ext></profile>"
    "<profile><format>Two seconds</format><params>-t 2 -c:v mpeg4 -c:a mp2</params><ext>mkv</ext></profile>"
    "</commands>";

// The sources, each made by the converter from generated pictures and sound.
const std::vector<std::pair<std::string, std::string>> Sources = {
    {"clip.mkv", "-c:v mpeg4 -c:a mp2"},
    {"clip.flv", "-c:v flv -c:a libmp3lame -ar 44100"},
    {"part.mpg", "-c:v mpeg1video -r 25 -c:a mp2 -f mpeg"},
    // Sound missing from 1 s to 2 s: its time stamps jump.
    {"gap.mkv", "-c:v mpeg4 -af aselect='not(between(t,1,2))' -c:a pcm_s16le"},
};

class CheckedOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(program.valid());
        for (const auto& [name, making] : Sources) {
            std::vector<std::string> arguments{"-v", "error", "-f", "lavfi", "-i", "testsrc=duration=3:size=160x120:rate=10",
                                               "-f", "lavfi", "-i", "sine=duration=3", "-shortest"};
            for (const std::string& word : splitCommandLine(making))
                arguments.push_back(word);
            arguments.push_back(file(name));
            const BatchResult made = runProgram("ffmpeg", arguments);
            ASSERT_EQ(made.exitCode, 0) << name << ": " << made.err;
        }
        // Two program streams one after the other: the second's time stamps start again.
        writeFile(file("joined.mpg"), readFile(file("part.mpg")) + readFile(file("part.mpg")));
    }

    std::string file(const std::string& name) const { return folder.path() + name; }

    // bin/ffmpeg becomes the real converter given these arguments first.
    void converterAdding(const std::string& arguments)
    {
        std::filesystem::remove(program.path("bin/ffmpeg"));
        writeFile(program.path("bin/ffmpeg"), "#!/bin/sh\nexec ffmpeg " + arguments + " \"$@\"\n");
        ::chmod(program.path("bin/ffmpeg").c_str(), 0755);
    }

    BatchResult convert(const std::string& source, int profile, const std::string& check)
    {
        const std::string list = file("q" + std::to_string(++lists) + ".kxl");
        EXPECT_EQ(runBatch(program, {"make", list, "--profile", std::to_string(profile), file(source)}).exitCode, 0);
        std::vector<std::string> arguments{"convert", list, "--json"};
        if (!check.empty())
            arguments.insert(arguments.end(), {"--check", check});
        return runBatch(program, arguments);
    }

    ProgramFolder program{Catalogue};
    TempFolder folder;
    int lists = 0;
};

TEST_F(CheckedOutputTest, AJobFinishesOnlyWhenItsOutputPlaysAsLongAsItsSource)
{
    const std::string Short = "the output's video plays 1.0 s of the source's 3.0 s; "
                              "the output's sound plays 1.0 s of the source's 3.0 s";
    const struct {
        const char* source;
        int profile;
        const char* converterAdds;  // before the converter's own arguments
        const char* check;
        int exitCode;
        const char* result;  // the check's result in the job's JSON line
        std::string message;  // on standard error
    } cases[] = {
        {"clip.mkv", 0, "", "", 0, "passed", ""},
        {"clip.mkv", 1, "", "", 0, "passed", ""},
        {"clip.mkv", 2, "", "", 0, "passed", ""},  // -t 2 asks for two seconds
        {"joined.mpg", 0, "", "", 0, "passed", ""},
        {"gap.mkv", 0, "", "", 0, "passed", ""},
        {"clip.flv", 0, "", "", 0, "passed", ""},
        {"clip.mkv", 0, "-t 1", "", 1, "failed", "clipforge-batch: job 0: " + Short + "\n"},
        {"clip.mkv", 0, "-an", "", 1, "failed",
         "clipforge-batch: job 0: the output has no sound, though the source has and the profile keeps it\n"},
        {"clip.mkv", 0, "-t 1", "warn", 0, "warned", "clipforge-batch: job 0: warning: " + Short + "\n"},
        {"clip.mkv", 0, "-t 1", "off", 0, "off", ""},
    };
    for (const auto& test : cases) {
        converterAdding(test.converterAdds);
        const BatchResult result = convert(test.source, test.profile, test.check);
        const std::string what = std::string(test.source) + " adding \"" + test.converterAdds + "\"";
        EXPECT_EQ(result.exitCode, test.exitCode) << what << "\n" << result.err;
        EXPECT_NE(result.out.find(std::string("\"result\":\"") + test.result + "\""), std::string::npos) << what << result.out;
        EXPECT_EQ(result.err, test.message) << what;
    }
}

TEST_F(CheckedOutputTest, AFullCheckDecodesWhatTheStreamsCheckCannotSee)
{
    // The converter's output gets 2,000 zero bytes in its middle: it still demuxes whole.
    std::filesystem::remove(program.path("bin/ffmpeg"));
    writeFile(program.path("bin/ffmpeg"), "#!/bin/sh\nfor last; do :; done\nffmpeg \"$@\" || exit\n"
                                          "dd if=/dev/zero of=\"$last\" bs=1 seek=$(($(stat -c %s \"$last\") / 2)) "
                                          "count=2000 conv=notrunc status=none\n");
    ::chmod(program.path("bin/ffmpeg").c_str(), 0755);
    EXPECT_EQ(convert("clip.mkv", 0, "streams").exitCode, 0);
    const BatchResult full = convert("clip.mkv", 0, "full");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err.rfind("clipforge-batch: job 0: the output does not decode: [", 0), 0) << full.err;
    EXPECT_EQ(full.err.find(" @ 0x"), std::string::npos) << "no decoder's address: " << full.err;
    // A copy of a damaged source has the source's damage, which is not the output's fault.
    converterAdding("");
    ASSERT_EQ(runProgram("ffmpeg", {"-v", "error", "-i", file("clip.mkv"), "-map", "0", "-c", "copy", "-bsf:v",
                                    "noise=amount=20", file("damaged.mkv")})
                  .exitCode,
              0);
    const BatchResult copy = convert("damaged.mkv", 1, "full");
    EXPECT_EQ(copy.exitCode, 0) << copy.err;
    EXPECT_NE(copy.out.find("\"note\":\"the source does not decode either: ["), std::string::npos) << copy.out;
}

TEST_F(CheckedOutputTest, AFailedCheckLeavesNothingAndJournalsNoCommit)
{
    converterAdding("-t 1");
    const std::string list = file("q.kxl");
    ASSERT_EQ(runBatch(program, {"make", list, "--profile", "0", file("clip.mkv")}).exitCode, 0);
    const BatchResult result = runBatch(program, {"convert", list, "--joblog", file("run.log")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::filesystem::is_empty(program.path("convert"))) << "no output and no private folder";
    const std::string joblog = readFile(file("run.log"));
    EXPECT_EQ(joblog.find("commit-intent"), std::string::npos) << joblog;
    EXPECT_NE(joblog.find("\"check\":{\"mode\":\"streams\",\"result\":\"failed\",\"streams\":[{\"type\":\"video\","
                          "\"source_s\":3.00,\"output_s\":1.00}"),
              std::string::npos)
        << joblog;
}

TEST_F(CheckedOutputTest, APlanPassesOnlyAModeOtherThanTheDefaultToItsLines)
{
    const std::string list = file("q.kxl");
    ASSERT_EQ(runBatch(program, {"make", list, "--profile", "0", file("clip.mkv")}).exitCode, 0);
    EXPECT_EQ(runBatch(program, {"plan", list}).out.find("--check"), std::string::npos);
    EXPECT_EQ(runBatch(program, {"plan", list, "--check", "streams"}).out.find("--check"), std::string::npos);
    const std::string line = runBatch(program, {"plan", list, "--check", "warn"}).out;
    EXPECT_NE(line.find(" --check warn "), std::string::npos) << line;
    // The line runs as a job with that mode: a short output finishes with a warning.
    converterAdding("-t 1");
    const BatchResult job = runProgram("sh", {"-c", line});
    EXPECT_EQ(job.exitCode, 0) << job.err;
    EXPECT_EQ(job.err.rfind("clipforge-batch: job 0: warning: the output's video plays 1.0 s", 0), 0) << job.err;
    EXPECT_EQ(runBatch(program, {"plan", list, "--check", "most"}).exitCode, 2);
}

TEST(CheckedShippedProfiles, EveryShippedProfilePassesOnAShortClip)
{
    ProgramFolder program{readFile(CLIPFORGE_SHIPPED_CATALOGUE)};
    TempFolder folder;
    const std::string clip = folder.path() + "clip.mp4";
    ASSERT_EQ(runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=duration=1:size=160x120:rate=10", "-f",
                                    "lavfi", "-i", "sine=duration=1", "-c:v", "libx264", "-c:a", "aac", clip})
                  .exitCode,
              0);
    for (int profile = 0; profile < 21; ++profile) {
        const std::string list = folder.path() + std::to_string(profile) + ".kxl";
        ASSERT_EQ(runBatch(program, {"make", list, "--profile", std::to_string(profile), clip}).exitCode, 0);
        const BatchResult result = runBatch(program, {"convert", list, "--json"});
        EXPECT_EQ(result.exitCode, 0) << "profile " << profile << ": " << result.err;
        EXPECT_NE(result.out.find("\"result\":\"passed\""), std::string::npos) << "profile " << profile << result.out;
    }
}

}  // namespace
}  // namespace clipforge::test
