// Every shipped profile against the kinds of file people really convert: each pair runs the
// converter exactly as a job would, and the output itself is judged, not only the exit code.
#include "MediaProbe.h"
#include "SourceKinds.h"
#include "ToolRun.h"
#include "core/CommandManager.h"
#include "core/ItemNodeData.h"
#include "core/LocalText.h"
#include "support/TempFolder.h"
#include "engine/CommandLineSplitter.h"
#include "engine/JobPlan.h"
#include "engine/OutputCheck.h"
#include "engine/OverwriteManager.h"
#include "engine/PacketReader.h"
#include "engine/StreamMapping.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>

using namespace clipforge::test;

namespace {

// How a profile lays out the picture it makes.
enum class Frame {
    SourceShape,  // the source's displayed shape, even sizes
    Pal,          // 720x576 at 4:3 or 16:9, the picture inside black bars
    Ntsc,         // 720x480 likewise
    SquareGif,    // 480 square pixels wide, the source's displayed shape
};

// Which streams a profile that copies instead of converting keeps.
enum class Copy {
    Nothing,              // the profile converts
    FirstPictureAndSound,
    EveryStream,          // every picture, sound and subtitle
};

// What a profile promises: its codecs (empty: it drops that kind of stream), the most sound
// channels its audio codec carries, and its frame. A copy promises the source's codecs or a
// failure with the converter's reason, and nothing of the frame.
struct Promise {
    std::string video;
    std::string audio;
    int channels = 2;
    Frame frame = Frame::SourceShape;
    Copy copy = Copy::Nothing;
};

// A profile missing here fails the test: a new profile must say what it promises.
const std::map<std::string, Promise> promises = {
    {"MP4 video (H.264 + AAC)", {"h264", "aac", 8}},
    {"MP4 video (H.265 + AAC)", {"hevc", "aac", 8}},
    {"MKV video (H.264 + AAC)", {"h264", "aac", 8}},
    {"WebM video (VP9 + Opus)", {"vp9", "opus", 8}},
    {"WebM video (VP8 + Vorbis)", {"vp8", "vorbis", 8}},
    {"AVI video (MPEG-4 + MP3)", {"mpeg4", "mp3", 2}},
    {"MPEG-2 video (DVD-compatible, PAL)", {"mpeg2video", "ac3", 6, Frame::Pal}},
    {"MPEG-2 video (DVD-compatible, NTSC)", {"mpeg2video", "ac3", 6, Frame::Ntsc}},
    {"MOV video (H.264 + AAC)", {"h264", "aac", 8}},
    {"WMV video (Windows Media 8 + WMA)", {"wmv2", "wmav2", 2}},
    {"FLV video (Flash Video + MP3)", {"flv1", "mp3", 2}},
    {"OGV video (Theora + Vorbis)", {"theora", "vorbis", 8}},
    {"Animated GIF (480 pixels wide)", {"gif", "", 0, Frame::SquareGif}},
    {"MP3 audio", {"", "mp3", 2}},
    {"AAC audio (M4A)", {"", "aac", 8}},
    {"WAV audio (uncompressed)", {"", "pcm_s16le", 8}},
    {"FLAC audio (lossless)", {"", "flac", 8}},
    {"Ogg audio (Vorbis)", {"", "vorbis", 8}},
    {"Opus audio", {"", "opus", 8}},
    {"MKV (streams copied, no re-encoding)", {"", "", 0, Frame::SourceShape, Copy::EveryStream}},
    {"MP4 (streams copied, no re-encoding)", {"", "", 0, Frame::SourceShape, Copy::FirstPictureAndSound}},
};

// Displayed shapes may differ by this much: a one-pixel edge on an odd size, rounding.
constexpr double ShapeTolerance = 0.01;

bool closeShape(double shape, double wanted, double tolerance = ShapeTolerance)
{
    return wanted > 0 && std::abs(shape / wanted - 1.0) <= tolerance;
}

std::string describe(const StreamFacts& video)
{
    std::ostringstream text;
    text << video.width << "x" << video.height << " shown at " << std::setprecision(4) << video.displayedShape();
    return text.str();
}

// Faults of a picture in a fixed frame: the frame's size, a shape a disc player knows, and
// the picture inside its bars.
void judgeFixedFrame(const StreamFacts& source, const StreamFacts& made, int height, const std::string& output,
                     std::vector<std::string>& faults)
{
    if (made.width != 720 || made.height != height)
        faults.push_back("frame " + describe(made) + ", not 720x" + std::to_string(height));
    const double frameShape = made.width * made.pixelAspect / made.height;
    if (!closeShape(frameShape, 4.0 / 3.0, 0.001) && !closeShape(frameShape, 16.0 / 9.0, 0.001))
        faults.push_back("frame shown at " + std::to_string(frameShape) + ", neither 4:3 nor 16:9");
    const auto area = pictureArea(output);
    if (!area) {
        faults.push_back("the picture inside the frame cannot be measured");
        return;
    }
    // The bars are found to 2 pixels, on each side of a picture that can be small.
    const double measured = area->width * made.pixelAspect / area->height;
    const double slack = ShapeTolerance + 2.0 / area->width + 2.0 / area->height;
    if (!closeShape(measured, source.displayedShape(), slack))
        faults.push_back("picture " + std::to_string(area->width) + "x" + std::to_string(area->height) +
                         " in the frame, source " + describe(source));
}

void judgePicture(const StreamFacts& source, const StreamFacts& made, const Promise& promise,
                  const std::string& output, std::vector<std::string>& faults)
{
    if (made.codec != promise.video)
        faults.push_back("video codec " + made.codec);
    switch (promise.frame) {
    case Frame::Pal:
        return judgeFixedFrame(source, made, 576, output, faults);
    case Frame::Ntsc:
        return judgeFixedFrame(source, made, 480, output, faults);
    case Frame::SquareGif:
        if (made.width != 480 || std::abs(made.pixelAspect - 1.0) > 1e-9)
            faults.push_back("picture " + describe(made) + ", not 480 square pixels wide");
        break;
    case Frame::SourceShape:
        if (made.width % 2 != 0 || made.height % 2 != 0)
            faults.push_back("odd frame size " + describe(made));
        break;
    }
    if (!closeShape(made.displayedShape(), source.displayedShape()))
        faults.push_back("picture " + describe(made) + ", source " + describe(source));
}

void judgeSound(const StreamFacts& source, const StreamFacts& made, const Promise& promise,
                std::vector<std::string>& faults)
{
    if (made.codec != promise.audio)
        faults.push_back("audio codec " + made.codec);
    // Surround stays surround as far as the codec goes; stereo and mono stay at most stereo.
    const bool channelsRight = source.channels > 2 ? made.channels == std::min(source.channels, promise.channels)
                                                   : made.channels >= 1 && made.channels <= 2;
    if (!channelsRight)
        faults.push_back(std::to_string(made.channels) + " channels from " + std::to_string(source.channels));
}

struct Pair {
    const SourceKind& kind;
    const MediaFacts& source;
    const Promise& promise;
};

// One stream of each kind the profile keeps and the source has, nothing else but data streams
// (a disc's navigation packets, a camera's time code).
void judgeOutput(const Pair& pair, const MediaFacts& made, const std::string& output, std::vector<std::string>& faults)
{
    const auto pictures = made.ofType("video");
    const auto sounds = made.ofType("audio");
    const size_t streams = made.streams.size() - made.ofType("data").size();
    const size_t wantedPictures = pair.kind.picture && !pair.promise.video.empty() ? 1 : 0;
    const size_t wantedSounds = pair.kind.sound && !pair.promise.audio.empty() ? 1 : 0;
    if (pictures.size() != wantedPictures || sounds.size() != wantedSounds ||
        streams != wantedPictures + wantedSounds) {
        faults.push_back(std::to_string(streams) + " streams, " + std::to_string(pictures.size()) +
                         " of them video, " + std::to_string(sounds.size()) + " audio");
        return;
    }
    if (wantedPictures == 1)
        judgePicture(pair.source.ofType("video").front(), pictures.front(), pair.promise, output, faults);
    if (wantedSounds == 1)
        judgeSound(pair.source.ofType("audio").front(), sounds.front(), pair.promise, faults);
}

std::vector<std::string> codecsOf(const MediaFacts& facts, const std::string& type, bool firstOnly)
{
    std::vector<std::string> codecs;
    for (const StreamFacts& stream : facts.ofType(type))
        codecs.push_back(stream.codec);
    if (firstOnly && codecs.size() > 1)
        codecs.resize(1);
    return codecs;
}

std::string joined(const std::vector<std::string>& codecs)
{
    std::string text;
    for (const std::string& codec : codecs)
        text += (text.empty() ? "" : ",") + codec;
    return "[" + text + "]";
}

// A copy holds the source's streams of each kind it keeps, codec for codec, in the source's order.
void judgeCopy(const Pair& pair, const MediaFacts& made, std::vector<std::string>& faults)
{
    const bool firstOnly = pair.promise.copy == Copy::FirstPictureAndSound;
    for (const std::string type : {"video", "audio", "subtitle"}) {
        const auto wanted = firstOnly && type == "subtitle" ? std::vector<std::string>{}
                                                            : codecsOf(pair.source, type, firstOnly);
        const auto got = codecsOf(made, type, false);
        if (got != wanted)
            faults.push_back(type + " " + joined(got) + ", source " + joined(wanted));
    }
}

enum class Verdict { AsPromised, RefusedRightly, Failed, Wrong, ConvertedWrongly };

char symbol(Verdict verdict)
{
    switch (verdict) {
    case Verdict::AsPromised:
        return 'o';
    case Verdict::RefusedRightly:
        return '.';
    case Verdict::Failed:
        return 'X';
    case Verdict::Wrong:
        return '?';
    case Verdict::ConvertedWrongly:
        return '!';
    }
    return ' ';
}

// The last thing the converter said before giving up.
std::string reason(const std::string& converterText)
{
    std::istringstream lines(converterText);
    std::string last;
    for (std::string line; std::getline(lines, line);)
        if (line.find_first_not_of(" \r") != std::string::npos && line.rfind("Conversion failed!", 0) != 0)
            last = line;
    return last;
}

struct JobEnd {
    std::string output;
    int exitCode = -1;
    std::string reason;
    MediaFacts made;  // nothing when the output is missing or empty
    std::string checkFailure;  // why the output check failed a finished pair

    // An empty or unreadable file is no conversion, whatever the exit code says.
    bool finished() const { return exitCode == 0 && made.readable; }
};

// A copy either holds what the source holds of the kinds it keeps (a subtitle file included), or
// fails with the converter's reason: a codec the container cannot hold, nothing readable.
Verdict judgeCopyEnd(const Pair& pair, const JobEnd& end, std::string& finding)
{
    if (!end.finished()) {
        if (end.exitCode != 0 && !end.reason.empty())
            return Verdict::RefusedRightly;
        finding = end.exitCode != 0 ? "failed without a reason" : "finished without a usable file";
        return Verdict::Wrong;
    }
    std::vector<std::string> faults;
    judgeCopy(pair, end.made, faults);
    for (const std::string& fault : faults)
        finding += (finding.empty() ? "" : "; ") + fault;
    return faults.empty() ? Verdict::AsPromised : Verdict::Wrong;
}

Verdict judge(const Pair& pair, const JobEnd& end, std::string& finding)
{
    if (pair.promise.copy != Copy::Nothing)
        return judgeCopyEnd(pair, end, finding);
    const bool convertible = (pair.kind.picture && !pair.promise.video.empty()) ||
                             (pair.kind.sound && !pair.promise.audio.empty());
    if (!convertible && end.finished()) {
        finding = "converted although the source has nothing this profile keeps";
        return Verdict::ConvertedWrongly;
    }
    if (!convertible) {
        finding = end.exitCode != 0 && end.reason.empty() ? "failed without a reason" : "";
        return finding.empty() ? Verdict::RefusedRightly : Verdict::Wrong;
    }
    if (!end.finished()) {
        finding = end.exitCode != 0 ? "failed: " + end.reason : "finished without a usable file";
        return Verdict::Failed;
    }
    if (!end.checkFailure.empty()) {
        finding = "the output check failed it: " + end.checkFailure;
        return Verdict::Failed;
    }
    std::vector<std::string> faults;
    judgeOutput(pair, end.made, end.output, faults);
    for (const std::string& fault : faults)
        finding += (finding.empty() ? "" : "; ") + fault;
    return faults.empty() ? Verdict::AsPromised : Verdict::Wrong;
}

class SourceMatrix : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* resources = std::getenv("CLIPFORGE_RESOURCES");
        ASSERT_NE(resources, nullptr);
        catalogue = std::make_unique<TCommandManager>(resources);
        std::filesystem::create_directory(sources());
        std::filesystem::create_directory(outputs());
        const std::string problems = makeSources(sources());
        ASSERT_EQ(problems, "") << "the sources cannot be made";
    }

    std::string sources() const { return folder.path() + "sources/"; }
    std::string outputs() const { return folder.path() + "outputs/"; }

    // Runs the job (source, profile) as the program would; the output is probed, then removed.
    JobEnd convert(const SourceKind& kind, int profile)
    {
        TItemData job;
        job.FileName = clipforge::widen(sources() + kind.fileName);
        job.Format = profile;
        job.Path = clipforge::widen(outputs());
        TOverwriteManager names;  // each job a run of its own: its output is gone before the next
        const clipforge::JobPlan plan = clipforge::planJob(job, *catalogue, names, converter());
        const ToolOutcome ran = runTool(clipforge::splitCommandLine(plan.commandLine));
        JobEnd end{plan.outputPath, ran.exitCode, reason(ran.err), {}, {}};
        std::error_code ignored;
        if (std::filesystem::file_size(plan.outputPath, ignored) > 0)
            end.made = probeMedia(plan.outputPath);
        if (end.finished())
            end.checkFailure = checkFailure(plan, ran.err);
        return end;
    }

    // What the program's own check says of a finished output, as the driver runs it.
    std::string checkFailure(const clipforge::JobPlan& plan, const std::string& converterText)
    {
        clipforge::StreamMapping mapping;
        std::istringstream lines(converterText);
        for (std::string line; std::getline(lines, line);)
            mapping.add(line);
        const clipforge::MediaPackets source = packets.readAndWait(plan.source);
        const clipforge::MediaPackets output = packets.readAndWait(plan.outputPath);
        const auto expected = clipforge::expectStreams(clipforge::splitCommandLine(plan.params), source, mapping);
        return clipforge::checkOutput(expected, source, output).reason;
    }

    clipforge::test::TempFolder folder;
    std::unique_ptr<TCommandManager> catalogue;
    clipforge::PacketReader packets{std::string(std::getenv("CLIPFORGE_APP_DIR")) + "/clipforge-packets"};
};

double childCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TEST_F(SourceMatrix, EveryProfileConvertsWhatItCanAndRefusesTheRest)
{
    ASSERT_GE(catalogue->Count(), 16);
    for (const std::string& name : catalogue->Names())
        ASSERT_TRUE(promises.count(name)) << "say what \"" << name << "\" promises in the table above";
    const double cpuBefore = childCpuSeconds();
    std::ostringstream matrix;
    int pairs = 0;
    int finished = 0;
    int asPromised = 0;
    for (const SourceKind& kind : sourceKinds()) {
        const MediaFacts source = probeMedia(sources() + kind.fileName);
        matrix << std::setw(22) << std::left << kind.fileName;
        for (int profile = 0; profile < catalogue->Count(); ++profile) {
            const std::string& name = catalogue->Names()[static_cast<size_t>(profile)];
            const JobEnd end = convert(kind, profile);
            std::string finding;
            const Verdict verdict = judge({kind, source, promises.at(name)}, end, finding);
            matrix << symbol(verdict);
            ++pairs;
            finished += end.finished() ? 1 : 0;
            const bool right = verdict == Verdict::AsPromised || verdict == Verdict::RefusedRightly;
            asPromised += right ? 1 : 0;
            EXPECT_TRUE(right) << kind.fileName << " with " << name << ": " << finding;
        }
        matrix << '\n';
    }
    std::cout << "o as promised, . refused rightly, X failed, ? finished wrongly, ! converted what it cannot\n"
              << matrix.str() << "pairs finished " << finished << " of " << pairs << "; as promised "
              << asPromised << " of " << pairs << "; converter and probe CPU time " << std::fixed
              << std::setprecision(1) << childCpuSeconds() - cpuBefore << " s\n";
}

}  // namespace
