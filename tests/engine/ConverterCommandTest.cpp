#include "support/TempFolder.h"
#include "engine/CommandLineSplitter.h"
#include "engine/ConverterCommand.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using clipforge::converterCommandLine;

TEST(ConverterCommand, PiecesOfTheLine)
{
    EXPECT_EQ(clipforge::converterPath("/opt/clip/"), "/opt/clip/bin/ffmpeg");
    EXPECT_EQ(clipforge::outputFolder("/out/", "/global/", "/opt/clip/"), "/out/");
    EXPECT_EQ(clipforge::outputFolder("/out", "", "/opt/clip/"), "/out");
    EXPECT_EQ(clipforge::outputFolder("", "/global/", "/opt/clip/"), "/global/");
    const clipforge::test::TempFolder program;
    std::filesystem::create_directory(program.path() + "convert");
    EXPECT_EQ(clipforge::outputFolder("", "", program.path()), program.path() + "convert/");
    EXPECT_TRUE(clipforge::globalOutputFolder.empty());

    struct Case {
        std::string source, ext, name;
    };
    const Case names[] = {
        {"/v/holiday.avi", "mp4", "holiday.mp4"},
        {"/v/clip", "mp4", "clip.mp4"},
        {"/v/a.b.avi", "mp4", "a.b.mp4"},
        {"/v.d/clip", "mp4", "clip.mp4"},
        {"/v/clip.avi", "", "clip."},
        {"/v/C:clip.avi", "mp4", "C:clip.mp4"},
    };
    for (const auto& c : names)
        EXPECT_EQ(clipforge::outputName(c.source, c.ext), c.name) << c.source;
    // A folder without its trailing separator is joined as it stands.
    EXPECT_EQ(clipforge::outputFolder("/out", "", "/p/") + clipforge::outputName("/v/clip.avi", "mp4"),
              "/outclip.mp4");
}

TEST(ConverterCommand, PlainNamesGiveTheClassicLine)
{
    EXPECT_EQ(converterCommandLine("/opt/clip/bin/ffmpeg", "/v/holiday.avi", "-n -c:v libx264",
                                   "/opt/clip/convert/holiday.mp4"),
              "\"/opt/clip/bin/ffmpeg\" -i \"/v/holiday.avi\" -n -c:v libx264 \"/opt/clip/convert/holiday.mp4\"");
    EXPECT_EQ(converterCommandLine("/f", "/a b.avi", "", "/o/a b.mp4"), "\"/f\" -i \"/a b.avi\"  \"/o/a b.mp4\"");
}

TEST(ConverterCommand, EveryPathReachesTheConverterAsOneArgument)
{
    std::string nonUtf8 = "/v/caf\xE9\xFF\x80.avi";
    const std::string sources[] = {
        "/v/a\" -y -i \"b.avi",
        "/v/back\\slash\\",
        "/v/back\\\"quote",
        "/v/trailing\\\\",
        "/v/with space.avi",
        "/v/-y.avi",
        "/v/$(rm -rf ~).avi",
        "/v/a;b&c|d.avi",
        "/v/new\nline\r.avi",
        "/v/tab\there.avi",
        "/v/\"\"double\"\".avi",
        "/v/'single'.avi",
        nonUtf8,
    };
    for (const auto& source : sources) {
        const std::string output = "/out/" + clipforge::outputName(source, "mp4");
        const auto line = converterCommandLine("/opt/my \"clip\"/bin/ffmpeg", source, "-n -f mp4", output);
        const auto arguments = clipforge::splitCommandLine(line);
        ASSERT_EQ(arguments.size(), 7u) << line;
        EXPECT_EQ(arguments[0], "/opt/my \"clip\"/bin/ffmpeg");
        EXPECT_EQ(arguments[1], "-i");
        EXPECT_EQ(arguments[2], source) << line;
        EXPECT_EQ(arguments[3], "-n");
        EXPECT_EQ(arguments[6], output) << line;
    }
}

TEST(ConverterCommand, RelativePathsCannotPassForOptionsOrProtocols)
{
    const auto arguments =
        clipforge::splitCommandLine(converterCommandLine("/f", "pipe:0", "-n", "-yclip.mp4"));
    ASSERT_EQ(arguments.size(), 5u);
    EXPECT_EQ(arguments[2], "file:pipe:0");
    EXPECT_EQ(arguments[4], "file:-yclip.mp4");
}

}  // namespace
