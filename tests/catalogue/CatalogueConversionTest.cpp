#include "core/CommandManager.h"
#include "support/TempFolder.h"
#include "engine/CommandLineSplitter.h"
#include "engine/ConverterCommand.h"
#include "engine/OverwriteManager.h"
#include "engine/ProfileCheck.h"
#include "ToolRun.h"

#include <gtest/gtest.h>


#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace clipforge::test;

namespace {

struct Probe {
    std::string container;
    std::set<std::string> codecs;
};

Probe probe(const std::string& path)
{
    const auto outcome = runTool({"ffprobe", "-v", "error", "-show_entries", "format=format_name:stream=codec_name",
                              "-of", "default=noprint_wrappers=1", path});
    Probe result;
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("format_name=", 0) == 0)
            result.container = line.substr(12);
        else if (line.rfind("codec_name=", 0) == 0)
            result.codecs.insert(line.substr(11));
    }
    return result;
}

// The container as the file itself names it, where ffprobe's format name is the same for several:
// the major brand of an MP4-family file ("isom", "qt  ", "M4A ") and the document type of a
// Matroska-family file ("matroska", "webm"). Empty for other files.
std::string namedContainer(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string head(64, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(file.gcount()));
    if (head.size() >= 12 && head.compare(4, 4, "ftyp") == 0)
        return head.substr(8, 4);
    const size_t docType = head.find("\x42\x82");
    if (head.rfind("\x1A\x45\xDF\xA3", 0) == 0 && docType != std::string::npos && docType + 3 <= head.size()) {
        const size_t length = static_cast<unsigned char>(head[docType + 2]) & 0x7F;  // one-byte size
        return head.substr(docType + 3, length);
    }
    return {};
}

// What the file must name itself, by the profile's extension.
const std::map<std::string, std::string> containerByExtension = {
    {"mp4", "isom"}, {"mov", "qt  "}, {"m4a", "M4A "}, {"mkv", "matroska"}, {"webm", "webm"},
};

struct Expected {
    std::string container;  // a part of ffprobe's format name
    std::set<std::string> codecs;
};

// What every shipped profile must produce; a profile missing here fails the test.
const std::map<std::string, Expected> expectations = {
    {"MP4 video (H.264 + AAC)", {"mp4", {"h264", "aac"}}},
    {"MP4 video (H.265 + AAC)", {"mp4", {"hevc", "aac"}}},
    {"MKV video (H.264 + AAC)", {"matroska", {"h264", "aac"}}},
    {"WebM video (VP9 + Opus)", {"webm", {"vp9", "opus"}}},
    {"WebM video (VP8 + Vorbis)", {"webm", {"vp8", "vorbis"}}},
    {"AVI video (MPEG-4 + MP3)", {"avi", {"mpeg4", "mp3"}}},
    {"MPEG-2 video (DVD-compatible, PAL)", {"mpeg", {"mpeg2video", "ac3"}}},
    {"MPEG-2 video (DVD-compatible, NTSC)", {"mpeg", {"mpeg2video", "ac3"}}},
    {"MOV video (H.264 + AAC)", {"mov", {"h264", "aac"}}},
    {"WMV video (Windows Media 8 + WMA)", {"asf", {"wmv2", "wmav2"}}},
    {"FLV video (Flash Video + MP3)", {"flv", {"flv1", "mp3"}}},
    {"OGV video (Theora + Vorbis)", {"ogg", {"theora", "vorbis"}}},
    {"Animated GIF (480 pixels wide)", {"gif", {"gif"}}},
    {"MP3 audio", {"mp3", {"mp3"}}},
    {"AAC audio (M4A)", {"m4a", {"aac"}}},
    {"WAV audio (uncompressed)", {"wav", {"pcm_s16le"}}},
    {"FLAC audio (lossless)", {"flac", {"flac"}}},
    {"Ogg audio (Vorbis)", {"ogg", {"vorbis"}}},
    {"Opus audio", {"ogg", {"opus"}}},
    {"MKV (streams copied, no re-encoding)", {"matroska", {"mpeg4", "mp2"}}},
    // The clip's MP2 sound is copied too, but MP4 files it under the MPEG audio type that reads
    // back as mp3: only the picture's codec shows the copy.
    {"MP4 (streams copied, no re-encoding)", {"mp4", {"mpeg4"}}},
};


class ShippedCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* resources = std::getenv("CLIPFORGE_RESOURCES");
        ASSERT_NE(resources, nullptr);
        catalogue = std::make_unique<TCommandManager>(resources);
        // A name that would break out of naive quoting if it were not kept one argument.
        source = folder.path() + "my \"clip\" -y $(x);.mkv";
        const auto made = runTool({converter(), "-v", "error", "-f", "lavfi", "-i",
                               "testsrc=duration=1:size=160x120:rate=10", "-f", "lavfi", "-i", "sine=duration=1",
                               "-c:v", "mpeg4", "-c:a", "mp2", "-shortest", source});
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }

    // Converts the source with profile i exactly as a job would, returning
    // the converter's outcome and the output path it was given.
    ToolOutcome convert(int profile, std::string& outputPath)
    {
        const std::string folderPath = clipforge::outputFolder(folder.path(), "", "/unused/");
        outputPath = TOverwriteManager().GetUniqueName(
            folderPath + clipforge::outputName(source, catalogue->GetExt(profile)));
        const auto line =
            clipforge::converterCommandLine(converter(), source, catalogue->GetParams(profile), outputPath);
        return runTool(clipforge::splitCommandLine(line));
    }

    clipforge::test::TempFolder folder;
    std::unique_ptr<TCommandManager> catalogue;
    std::string source;
};

TEST_F(ShippedCatalogue, EveryProfileProducesItsContainerAndCodecs)
{
    ASSERT_GE(catalogue->Count(), 16);
    for (int i = 0; i < catalogue->Count(); ++i) {
        const std::string& name = catalogue->Names()[static_cast<size_t>(i)];
        SCOPED_TRACE(name);
        EXPECT_NE((" " + catalogue->GetParams(i) + " ").find(" -n "), std::string::npos)
            << "every profile must refuse to overwrite";
        EXPECT_EQ(clipforge::unusableArgument(catalogue->GetParams(i)), "") << "every profile stays usable";
        const auto expected = expectations.find(name);
        ASSERT_NE(expected, expectations.end()) << "no expectation for this profile";
        std::string output;
        const auto outcome = convert(i, output);
        ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
        const auto probed = probe(output);
        EXPECT_NE(probed.container.find(expected->second.container), std::string::npos) << probed.container;
        if (const auto named = containerByExtension.find(catalogue->GetExt(i)); named != containerByExtension.end()) {
            EXPECT_EQ(namedContainer(output), named->second) << "container named inside " << output;
        }
        for (const auto& codec : expected->second.codecs)
            EXPECT_TRUE(probed.codecs.count(codec)) << codec << " missing in " << output;
    }
}

TEST_F(ShippedCatalogue, TheConverterRefusesAnOutputThatAppearedMeanwhile)
{
    int wav = 0;
    while (wav < catalogue->Count() && catalogue->GetExt(wav) != "wav")
        ++wav;
    ASSERT_LT(wav, catalogue->Count());
    const std::string taken = folder.path() + clipforge::outputName(source, "wav");
    const std::string line =
        clipforge::converterCommandLine(converter(), source, catalogue->GetParams(wav), taken);
    folder.write(clipforge::fileNamePart(taken), "precious");
    const auto outcome = runTool(clipforge::splitCommandLine(line));
    EXPECT_NE(outcome.exitCode, 0);
    EXPECT_EQ(folder.read(clipforge::fileNamePart(taken)), "precious");
}

}  // namespace
