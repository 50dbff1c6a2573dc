#include "engine/CommandLineSplitter.h"
#include "engine/OutputCheck.h"
#include "engine/StreamExpectation.h"
#include "engine/StreamMapping.h"

#include <gtest/gtest.h>

#include <optional>

using namespace clipforge;

namespace {

StreamPackets stream(StreamKind kind, double start, double end, std::optional<double> sum = {}, std::int64_t packets = 100)
{
    StreamPackets made;
    made.kind = kind;
    made.packets = packets;
    made.start = start;
    made.end = end;
    made.sum = sum.value_or(end - start);
    return made;
}

const StreamPackets Video6 = stream(StreamKind::Video, 0.0, 6.0);
const StreamPackets Sound6 = stream(StreamKind::Sound, 0.0, 6.0);

MediaPackets file(std::vector<StreamPackets> streams) { return {std::move(streams), {}, {}, {}}; }

std::string sources(const std::string& params, const MediaPackets& source, std::vector<std::string> mappingLines = {})
{
    StreamMapping mapping;
    for (const std::string& line : mappingLines)
        mapping.add(line);
    std::string found;
    for (const std::size_t index : expectStreams(splitCommandLine(params), source, mapping).sources)
        found += std::to_string(index);
    return found;
}

TEST(StreamExpectation, TheProfilesArgumentsDecideWhichSourceStreamsTheOutputMustHold)
{
    StreamPackets cover = stream(StreamKind::Video, 0.0, 0.0, 0.0, 1);
    cover.attachedPicture = true;
    const MediaPackets source = file({Video6, Sound6, stream(StreamKind::Sound, 0.0, 6.0),
                                      stream(StreamKind::Subtitle, 0.0, 6.0), cover});
    const struct {
        const char* params;
        const char* expected;
    } cases[] = {
        {"-c:v libx264", "01"},                       // the converter's own choice: one of each
        {"-map 0:v:0? -map 0:a:0? -sn", "01"},        // the shipped profiles' form
        {"-map 0", "012"},                            // every stream; subtitles and covers do not count
        {"-map 0:a", "12"},
        {"-map 0:a:1", "2"},
        {"-map 0:2", "2"},
        {"-map 0 -map -0:a:0", "02"},                 // a negative map takes one back
        {"-map 0:v:0 -map 0:a:0 -an", "0"},           // -an drops the sound a map chose
        {"-vn -c:a mp3", "1"},
        {"-map 0:s?", ""},
        {"-filter_complex [0:v]scale=2:2[v] -map [v]", "01"},  // hidden mapping: by kind
    };
    for (const auto& test : cases)
        EXPECT_EQ(sources(test.params, source), test.expected) << test.params;
    EXPECT_EQ(sources("-c:a aac", source, {"  Stream #0:0 -> #0:0 (h264 -> h264)", "  Stream #0:2 -> #0:1 (aac -> aac)"}),
              "02")
        << "the mapping lines tell which sound stream the converter took";
}

TEST(StreamExpectation, ProfilesThatChangeTimeAreComparedWithWhatTheyAskOrForPresenceOnly)
{
    const MediaPackets source = file({Video6, Sound6});
    const auto expect = [&](const char* params) { return expectStreams(splitCommandLine(params), source, {}); };
    EXPECT_EQ(expect("-t 2").limit, 2.0);
    EXPECT_EQ(expect("-ss 1 -to 4").limit, 3.0);
    EXPECT_EQ(expect("-ss 00:00:01.5").cutFrom, 1.5);
    EXPECT_FALSE(expect("-ss 1 -c copy").limit);
    for (const char* inexact : {"-ss 1 -c copy", "-shortest", "-frames:v 10", "-vf setpts=2*PTS",
                                "-af \"atempo=2,volume=2\"", "-fs 1M", "-t later"}) {
        EXPECT_TRUE(expect(inexact).presenceOnly) << inexact;
        EXPECT_NE(expect(inexact).note, "") << inexact;
    }
    EXPECT_FALSE(expect("-vf \"scale=w='iw*if(lt(iw,100),2,1)':h=-2,select_is_not_a_filter\"").presenceOnly);
}

TEST(StreamExpectation, DurationsReadAsTheConverterReadsThem)
{
    const struct {
        const char* text;
        std::optional<double> seconds;
    } cases[] = {{"2", 2.0},          {"2.5", 2.5},      {"01:30", 90.0}, {"1:00:00.5", 3600.5},
                 {"500ms", 0.5},      {"-1", -1.0},      {"3s", 3.0},     {"", std::nullopt},
                 {"1:2:3:4", std::nullopt}, {"5min", std::nullopt}, {"1.2.3", std::nullopt}};
    for (const auto& test : cases)
        EXPECT_EQ(parseDuration(test.text), test.seconds) << test.text;
}

std::string verdict(const MediaPackets& source, const MediaPackets& output, const char* params = "")
{
    const CheckResult result = checkOutput(expectStreams(splitCommandLine(params), source, {}), source, output);
    return result.failed() ? result.reason : "passed";
}

TEST(OutputCheck, EachStreamMustPlayAsLongAsItsSourceAndStartWithIt)
{
    const MediaPackets source = file({Video6, Sound6});
    StreamPackets cover = stream(StreamKind::Video, 0.0, 0.04, 0.04, 1);
    cover.attachedPicture = true;
    const struct {
        MediaPackets output;
        const char* params;
        const char* expected;
    } cases[] = {
        {file({Video6, Sound6}), "", "passed"},
        {file({stream(StreamKind::Sound, 0.0, 6.05), Video6}), "", "passed"},  // order of the file's streams
        {file({stream(StreamKind::Video, 0.0, 6.15), Sound6}), "", "passed"},  // within 0.1 s and a frame each
        {file({stream(StreamKind::Video, 0.0, 2.0), Sound6}), "", "the output's video plays 2.0 s of the source's 6.0 s"},
        {file({Video6, stream(StreamKind::Sound, 0.0, 8.3)}), "", "the output's sound plays 8.3 s, the source's 6.0 s"},
        {file({Video6, stream(StreamKind::Sound, 2.3, 8.3)}), "", "the output's sound starts 2.3 s after the source's"},
        {file({Video6}), "", "the output has no sound, though the source has and the profile keeps it"},
        {file({cover, Sound6}), "", "the output has no video, though the source has and the profile keeps it"},
        {file({stream(StreamKind::Video, 0.0, 1.0), stream(StreamKind::Sound, 0.0, 1.0)}), "",
         "the output's video plays 1.0 s of the source's 6.0 s; the output's sound plays 1.0 s of the source's 6.0 s"},
        {file({stream(StreamKind::Video, 0.0, 2.0), stream(StreamKind::Sound, 0.0, 2.0)}), "-t 2", "passed"},
        {file({Video6}), "-an", "passed"},
        {file({stream(StreamKind::Video, 0.0, 1.0), Sound6}), "-shortest", "passed"},  // presence only
        {file({stream(StreamKind::Video, 0.0, 6.0, 6.0, 0), Sound6}), "",  // a stream without packets
         "the output has no video, though the source has and the profile keeps it"},
        {MediaPackets{{}, "Invalid data found when processing input", {}, {}}, "",
         "the output cannot be read: Invalid data found when processing input"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(verdict(source, test.output, test.params), test.expected) << test.expected;
}

TEST(OutputCheck, NoHeaderOrTimeStampQuirkOfARightOutputFailsIt)
{
    // Program streams start at 0.5 s by design: starts count from each file's earliest stream.
    const MediaPackets dvd = file({stream(StreamKind::Video, 0.5, 6.5), stream(StreamKind::Sound, 0.5, 6.5)});
    EXPECT_EQ(verdict(file({Video6, Sound6}), dvd), "passed");
    // Joined recordings whose time stamps restart: the span falls short, the packets' sum does not.
    const MediaPackets joined = file({stream(StreamKind::Video, 0.0, 6.0, 12.0), stream(StreamKind::Sound, 0.0, 6.0, 12.0)});
    const MediaPackets whole = file({stream(StreamKind::Video, 0.0, 12.0), stream(StreamKind::Sound, 0.0, 12.0)});
    EXPECT_EQ(verdict(joined, whole), "passed");
    EXPECT_EQ(verdict(joined, file({stream(StreamKind::Video, 0.0, 3.0), stream(StreamKind::Sound, 0.0, 3.0)})),
              "the output's video plays 3.0 s of the source's 12.0 s; the output's sound plays 3.0 s of the source's 12.0 s");
    // Sound with a gap, kept or filled.
    const MediaPackets gap = file({Video6, stream(StreamKind::Sound, 0.0, 6.0, 5.0)});
    EXPECT_EQ(verdict(gap, gap), "passed");
    EXPECT_EQ(verdict(gap, file({Video6, Sound6})), "passed");
    // Frames dropped while recording: each stays on screen until the next, which may hold the last
    // one longer than its packet says (68 frames over 29.6 s, the output at 25 frames a second).
    const MediaPackets sparse = file({stream(StreamKind::Video, 0.0, 29.6, 4.5, 68)});
    EXPECT_EQ(verdict(sparse, file({stream(StreamKind::Video, 0.0, 30.0, 30.0, 750)})), "passed");
    EXPECT_EQ(verdict(sparse, file({stream(StreamKind::Video, 0.0, 20.0, 20.0, 500)})),
              "the output's video plays 20.0 s of the source's 29.6 s");
    // No percentage: two hours missing thirty seconds fail.
    const MediaPackets film = file({stream(StreamKind::Video, 0.0, 7200.0, {}, 180000)});
    EXPECT_EQ(verdict(film, file({stream(StreamKind::Video, 0.0, 7170.0, {}, 179250)})),
              "the output's video plays 7170.0 s of the source's 7200.0 s");
    // Nothing to compare against: the converter's word stands, and the note says so.
    const CheckResult unread = checkOutput({}, MediaPackets{{}, "it is not a regular file", {}, {}}, file({}));
    EXPECT_FALSE(unread.failed());
    EXPECT_EQ(unread.note, "the source's packets could not be read (it is not a regular file): nothing was compared");
}

TEST(OutputCheck, ADecodersErrorLosesItsAddressAndTheNullOutputsComplaintsAreNoErrors)
{
    EXPECT_EQ(decodeErrorText("[aac @ 0x55897c8b3080] channel element 0.0 is not allocated\r"),
              "[aac] channel element 0.0 is not allocated");
    EXPECT_EQ(decodeErrorText("Error while decoding stream #0:1: Invalid data found when processing input"),
              "Error while decoding stream #0:1: Invalid data found when processing input");
    EXPECT_EQ(decodeErrorText("[null @ 0x556bc3982c00] Application provided invalid, non monotonically increasing dts"), "");
}

TEST(OutputCheck, WarnFinishesWhatStreamsWouldFail)
{
    CheckResult failed;
    failed.verdict = CheckResult::Verdict::Failed;
    EXPECT_EQ(underMode(failed, CheckMode::Warn).verdict, CheckResult::Verdict::Warned);
    EXPECT_EQ(underMode(failed, CheckMode::Streams).verdict, CheckResult::Verdict::Failed);
    for (const char* word : {"streams", "full", "warn", "off"})
        EXPECT_EQ(checkModeName(*checkModeNamed(word)), word);
    EXPECT_FALSE(checkModeNamed("all"));
}

}  // namespace
