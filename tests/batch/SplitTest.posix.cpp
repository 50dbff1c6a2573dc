// convert --split with the real converter: a split job's output holds the same film as a whole
// conversion's; what cannot be cut exactly runs whole and says why; a part that fails fails its
// job, and Stop ends every part, leaving nothing behind.
#include "BatchRun.h"

#include "engine/PacketReader.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <signal.h>
#include <sys/stat.h>

namespace clipforge::test {
namespace {

const std::vector<std::string> Generated = {"-v", "error", "-f", "lavfi", "-i", "testsrc2=size=160x120:rate=25",
                                            "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000"};
const std::vector<std::string> Split = {"--jobs", "2", "--split", "--split-min", "10"};

class SplitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(program.valid()); }

    std::string file(const std::string& name) const { return folder.path() + name; }

    void make(const std::string& name, const std::vector<std::string>& how, double seconds = 12)
    {
        std::vector<std::string> arguments = Generated;
        arguments.insert(arguments.end(), {"-t", std::to_string(seconds)});
        arguments.insert(arguments.end(), how.begin(), how.end());
        arguments.push_back(file(name));
        const BatchResult made = runProgram("ffmpeg", arguments);
        ASSERT_EQ(made.exitCode, 0) << name << ": " << made.err;
    }

    // Converts source with profile into the folder named out, with these options of convert's.
    BatchResult convert(const std::string& source, int profile, const std::string& out,
                        const std::vector<std::string>& options)
    {
        std::filesystem::create_directories(file(out));
        const std::string list = file(out + ".kxl");
        EXPECT_EQ(runBatch(program, {"make", list, "--profile", std::to_string(profile), "--folder", file(out), file(source)})
                      .exitCode,
                  0);
        std::vector<std::string> arguments{"convert", list, "--json"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runBatch(program, arguments);
    }

    std::string decoded(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> line{"-v", "info", "-nostdin"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        const BatchResult result = runProgram("ffmpeg", line);
        return result.out + result.err;
    }
    // The pictures' quality against the source's, frame by frame in order.
    double psnr(const std::string& output, const std::string& source)
    {
        const std::string said = decoded({"-i", output, "-i", source, "-lavfi",
                                          "[0:v]setpts=PTS-STARTPTS[a];[1:v]setpts=PTS-STARTPTS[b];[a][b]psnr", "-f", "null", "-"});
        const auto at = said.find("average:");
        return at == std::string::npos ? 0.0 : std::stod(said.substr(at + 8));
    }
    std::string soundSamples(const std::string& output) { return decoded({"-v", "error", "-i", output, "-map", "0:a", "-f", "md5", "-"}); }

    // The split output against the whole one: frames, time and starts within a frame, the same
    // sound samples, and pictures as good (PSNR against the source).
    void expectSameFilm(const std::string& split, const std::string& whole, const std::string& source)
    {
        PacketReader reader(CLIPFORGE_PACKETS_EXECUTABLE);
        const MediaPackets parts = reader.readAndWait(split), one = reader.readAndWait(whole);
        ASSERT_EQ(parts.streams.size(), one.streams.size()) << split;
        for (const StreamPackets& stream : parts.streams) {
            const auto same = std::find_if(one.streams.begin(), one.streams.end(), [&](const auto& s) { return s.kind == stream.kind; });
            ASSERT_NE(same, one.streams.end());
            const double frame = same->packetDuration() + 1e-3;
            if (stream.kind == StreamKind::Video) {
                EXPECT_EQ(stream.packets, same->packets) << split;
            }
            EXPECT_NEAR(stream.playingTime(), same->playingTime(), frame) << split;
            EXPECT_NEAR(*stream.start - *parts.earliestStart(), *same->start - *one.earliestStart(), frame) << split;
        }
        EXPECT_EQ(soundSamples(split), soundSamples(whole)) << split;
        // At least as good: a whole conversion into AVI shows some pictures a frame late.
        EXPECT_GT(psnr(split, file(source)), psnr(whole, file(source)) - 0.5) << split;
    }

    // A converter that runs the real one, except for a part that seeks, which runs instead.
    void seekingPartRuns(const std::string& instead)
    {
        std::filesystem::remove(program.path("bin/ffmpeg"));
        writeFile(program.path("bin/ffmpeg"),
                  "#!/bin/sh\ncase \" $* \" in *\" -ss \"*) " + instead + ";; esac\nexec ffmpeg \"$@\"\n");
        ::chmod(program.path("bin/ffmpeg").c_str(), 0755);
    }

    std::vector<std::string> outputs(const std::string& out) const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(file(out)))
            names.push_back(entry.path().filename().string());
        return names;
    }

    ProgramFolder program{readFile(CLIPFORGE_SHIPPED_CATALOGUE)};
    TempFolder folder;
};

std::string splitField(int parts, const std::string& why = {})
{
    return "\"split\":{\"parts\":" + std::to_string(parts) + (why.empty() ? "" : ",\"why\":\"" + why + "\"") + "}";
}

// B-frames and a key frame every second, as the shipped video profiles get them from phones.
const std::vector<std::string> Film = {"-c:v", "libx264", "-g", "25", "-bf", "2", "-c:a", "aac"};

TEST_F(SplitTest, EveryShippedProfileThatSplitsMakesTheSameFilmAsAWholeConversion)
{
    make("film.mp4", Film);
    for (const int profile : {0, 1, 2, 3, 4, 5, 8, 9, 10, 11}) {
        const std::string name = std::to_string(profile);
        const BatchResult whole = convert("film.mp4", profile, "whole" + name, {});
        const BatchResult split = convert("film.mp4", profile, "split" + name, Split);
        ASSERT_EQ(whole.exitCode, 0) << whole.err;
        ASSERT_EQ(split.exitCode, 0) << "profile " << profile << ": " << split.err;
        const std::string field = splitField(2) + "}\n";
        EXPECT_NE(split.out.find(field), split.out.rfind(field)) << split.out;  // started and ended
        const auto written = outputs("split" + name);
        ASSERT_EQ(written.size(), 1u) << "profile " << profile;
        expectSameFilm(file("split" + name + "/" + written[0]), file("whole" + name + "/" + written[0]), "film.mp4");
    }
}

TEST_F(SplitTest, SourcesThatCannotBeCutExactlyRunWholeAndSayWhy)
{
    make("film.mp4", Film);
    // MPEG-2's GOPs are open: their first pictures refer to the GOP before.
    make("open-gop.ts", {"-c:v", "mpeg2video", "-g", "12", "-bf", "2", "-c:a", "mp2"});
    make("25.mkv", {"-c:v", "libx264", "-c:a", "aac"}, 6);
    make("30.mkv", {"-c:v", "libx264", "-r", "30", "-c:a", "aac"}, 6);
    writeFile(file("two-rates.txt"), "file '25.mkv'\nfile '30.mkv'\n");
    ASSERT_EQ(runProgram("ffmpeg", {"-v", "error", "-f", "concat", "-i", file("two-rates.txt"), "-c", "copy", file("vfr.mkv")}).exitCode, 0);
    // The film's edit list (its B-frames' delay) played at twice the speed.
    std::string edited = readFile(file("film.mp4"));
    const auto list = edited.find("elst");
    ASSERT_NE(list, std::string::npos);
    edited.replace(list + 20, 4, std::string("\0\2\0\0", 4));
    writeFile(file("edited.mp4"), edited);
    writeFile(file("chapters.txt"), ";FFMETADATA1\ntitle=Holiday\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=7000\n"
                                    "title=Beach\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=7000\nEND=12000\ntitle=Town\n");
    ASSERT_EQ(runProgram("ffmpeg", {"-v", "error", "-i", file("film.mp4"), "-i", file("chapters.txt"), "-map_metadata", "1",
                                    "-map_chapters", "1", "-c", "copy", file("chapters.mkv")})
                  .exitCode,
              0);
    const struct {
        const char* source;
        int profile;
        int parts;
        std::string why;
    } cases[] = {
        {"open-gop.ts", 11, 2, ""},
        {"chapters.mkv", 2, 2, ""},
        {"vfr.mkv", 11, 1, "the source's frame rate varies"},
        {"edited.mp4", 11, 1, "the source's edit list does more than shift its start"},
        {"film.mp4", 19, 1, "the profile copies streams"},
    };
    int run = 0;
    for (const auto& test : cases) {
        const std::string out = "out" + std::to_string(++run);
        const BatchResult result = convert(test.source, test.profile, out, Split);
        EXPECT_EQ(result.exitCode, 0) << test.source << ": " << result.err;
        const std::string field = splitField(test.parts, test.why);
        EXPECT_NE(result.out.find(field + "}\n"), result.out.rfind(field + "}\n")) << result.out;  // started and ended
        if (test.parts > 1) {
            ASSERT_EQ(convert(test.source, test.profile, "whole-" + out, {}).exitCode, 0);
            const std::string name = outputs(out).at(0);
            expectSameFilm(file(out + "/" + name), file("whole-" + out + "/" + name), test.source);
            // The source's title and chapters, as a whole conversion keeps them.
            const auto tags = [&](const std::string& output) {
                return runProgram("ffprobe", {"-v", "error", "-show_chapters", "-show_entries", "format_tags=title", "-of",
                                              "compact", file(output + "/" + name)}).out;
            };
            EXPECT_EQ(tags(out), tags("whole-" + out));
        }
    }
}

TEST_F(SplitTest, APartThatFailsFailsItsJobWithItsReasonAndLeavesNothing)
{
    make("film.mp4", Film);
    seekingPartRuns("echo 'part-2.ogv: No space left on device' >&2; exit 1");
    const BatchResult result = convert("film.mp4", 11, "out", Split);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "clipforge-batch: job 0: part-2.ogv: No space left on device\n");
    EXPECT_TRUE(outputs("out").empty());
}

TEST_F(SplitTest, StopEndsEveryPartAndLeavesNothing)
{
    make("film.mp4", Film);
    seekingPartRuns("touch '" + file("seeking") + "'; exec sleep 600");
    const std::string list = file("q.kxl");
    std::filesystem::create_directories(file("out"));
    ASSERT_EQ(runBatch(program, {"make", list, "--profile", "11", "--folder", file("out"), file("film.mp4")}).exitCode, 0);
    std::vector<std::string> arguments{"convert", list, "--json"};
    arguments.insert(arguments.end(), Split.begin(), Split.end());
    BatchProcess run(program, arguments);
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(file("seeking")); }));
    run.signal(SIGINT);
    const BatchResult result = run.wait();
    EXPECT_EQ(result.exitCode, 130);
    EXPECT_NE(result.out.find("\"state\":\"failed\""), std::string::npos) << result.out;
    EXPECT_NE(result.err.find("clipforge-batch: job 0: stopped\n"), std::string::npos) << result.err;
    EXPECT_TRUE(outputs("out").empty());
}

}  // namespace
}  // namespace clipforge::test
