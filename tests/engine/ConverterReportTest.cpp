#include "engine/ConverterReport.h"
#include "engine/LineCutter.h"

#include <gtest/gtest.h>

#include "RecordedOutput.h"


using clipforge::ConverterReport;

namespace {

// Feeds output through the runner's own line cutting, as the driver sees it, for a job of these
// file names.
ConverterReport reportOf(const std::string& output, const std::vector<std::string>& names = {})
{
    ConverterReport report;
    report.setNames(names);
    clipforge::LineCutter cutter;
    const clipforge::OutputBatch pieces = cutter.cut(output);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        report.add(pieces.text(i), pieces.type(i));
    return report;
}

}  // namespace

// Output recorded from the converter itself (Debian 12's ffmpeg 5.1) in each situation.
TEST(ConverterReport, PicksTheConvertersOwnErrorLineFromRecordedOutput)
{
    const struct {
        const char* log;
        const char* errorLine;
        bool writeFailed;
    } cases[] = {
        {"missing-source.log", "missing.avi: No such file or directory", false},
        {"unknown-encoder.log", "Unknown encoder 'libfoo'", false},
        {"invalid-data.log", "junk.avi: Invalid data found when processing input", false},
        {"missing-folder.log", "nowhere/out4.mp4: No such file or directory", false},
        {"output-exists.log", "File 'exists.mp4' already exists. Exiting.", false},
        {"full-disk-wav.log", "Error closing file full/s2.wav: No space left on device", true},
        {"full-disk-mp4.log", "Error closing file full/v.mp4: No space left on device", true},
        {"no-audio-stream.log", "Stream map '0:a:0' matches no streams.", false},
        {"success.log", "", false},
    };
    for (const auto& c : cases) {
        const std::string output = clipforge::test::recordedOutput(c.log);
        ASSERT_FALSE(output.empty()) << c.log;
        const ConverterReport report = reportOf(output);
        EXPECT_EQ(report.errorLine(), c.errorLine) << c.log;
        EXPECT_EQ(report.writeFailed(), c.writeFailed) << c.log;
    }
}

TEST(ConverterReport, ReadsLinesTheRecordingsDoNotHold)
{
    const struct {
        std::string output;
        std::string errorLine;
        bool writeFailed;
    } cases[] = {
        {"Conversion failed!\n", "", false},
        {"Exiting normally, received signal 2.\n", "", false},
        {"[mp4 @ 0x55d1c2a0] Could not find tag for codec foo\nConversion failed!\n", "Could not find tag for codec foo", false},
        {"frame=  1 size= 0kB\rError writing trailer of a.mp4: No space left on device\n", "Error writing trailer of a.mp4: No space left on device", true},
        {"an error without a line end: Permission denied", "an error without a line end: Permission denied", false},
        {"Error one\nfine\nError two\nsize= 1kB\n", "Error two", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        const ConverterReport report = reportOf(c.output);
        EXPECT_EQ(report.errorLine(), c.errorLine) << c.output;
        EXPECT_EQ(report.writeFailed(), c.writeFailed) << c.output;
    }
}

TEST(ConverterReport, KeepsABoundedTailAndForgetsOnClear)
{
    ConverterReport report;
    report.add("Error at the start", otEntireLine);
    for (std::size_t i = 0; i < ConverterReport::KeptLines; ++i)
        report.add("frame=" + std::to_string(i), otEntireLine);
    EXPECT_EQ(report.errorLine(), "") << "only the last lines are kept";
    const std::string longLine = std::string(10000, 'x') + ": No such file or directory";
    report.add(longLine, otEntireLine);
    EXPECT_EQ(report.errorLine(), longLine.substr(longLine.size() - ConverterReport::LongestKeptLine))
        << "a long line keeps its end, which says what went wrong";
    report.add("File 'a' already exists. Exiting.", otEntireLine);
    report.clear();
    EXPECT_EQ(report.errorLine(), "");
}

TEST(ConverterReport, AnErrorLineKeepsTheWholeNameWhenALineEndCutsIt)
{
    const struct {
        std::string name;
        std::string output;
        std::string errorLine;
    } cases[] = {
        {"/in/a\rb.avi", "/in/a\rb.avi: No such file or directory\n", "/in/a\rb.avi: No such file or directory"},
        {"/in/a\r\nb\n\rc.avi", "size=0\n/in/a\r\nb\n\rc.avi: Invalid data found\n", "/in/a\r\nb\n\rc.avi: Invalid data found"},
        {"/in/x\ry.avi", "[mp4 @ 0x5581] /in/x\ry.avi: Permission denied", "/in/x\ry.avi: Permission denied"},
        {"/in/other\rname.avi", "frame=1\rError writing trailer\n", "Error writing trailer"},
        {"/in/plain.avi", "a\rError two\n", "Error two"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportOf(c.output, {c.name, "/out/clip.mp4"}).errorLine(), c.errorLine) << c.output;
}

// Lines that only follow from an error give way to the line that names it, as the converter
// (Debian 12's ffmpeg 5.1) prints them when a profile copies streams a container cannot take.
TEST(ConverterReport, AConsequenceGivesWayToTheLineThatNamesTheCause)
{
    const struct {
        const char* name;
        std::string output;
        std::string reason;
    } cases[] = {
        {"a codec the container cannot hold",
         "[mp4 @ 0x5582060bd540] Could not find tag for codec theora in stream #0, codec not currently supported in "
         "container\nCould not write header for output file #0 (incorrect codec parameters ?): Invalid argument\n"
         "Error initializing output stream 0:0 -- \nStream mapping:\n  Stream #0:0 -> #0:0 (copy)\n"
         "    Last message repeated 1 times\n",
         "Could not find tag for codec theora in stream #0, codec not currently supported in container"},
        {"packets without time stamps",
         "frame=    0 fps=0.0 q=-1.0 size=       1kB time=00:00:00.02 bitrate= 195.7kbits/s speed=N/A    \r"
         "[matroska @ 0x560966541080] Can't write packet with unknown timestamp\n"
         "av_interleaved_write_frame(): Invalid argument\n"
         "[matroska @ 0x560966541080] Can't write packet with unknown timestamp\n"
         "Error writing trailer of out.mkv: Invalid argument\n"
         "frame=   21 fps=0.0 q=-1.0 Lsize=      19kB time=00:00:00.77 bitrate= 205.6kbits/s speed=2.96e+03x    \n"
         "video:23kB audio:10kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: unknown\n"
         "Conversion failed!\n",
         "Can't write packet with unknown timestamp"},
        {"an encoder's own words",
         "[libx264 @ 0x55d0] width not divisible by 2 (161x120)\n"
         "Error initializing output stream 0:0 -- Error while opening encoder for output stream #0:0 - maybe "
         "incorrect parameters such as bit_rate, rate, width or height\nConversion failed!\n",
         "width not divisible by 2 (161x120)"},
        {"a consequence with no cause before it",
         "Press [q] to stop, [?] for help\nError initializing output stream 0:1 --\nConversion failed!\n",
         "Error initializing output stream 0:1 --"},
        {"a consequence first in the output", "Could not write header for output file #0 (incorrect codec parameters ?)\n",
         "Could not write header for output file #0 (incorrect codec parameters ?)"},
        {"a full disk is a cause of its own",
         "[matroska @ 0x56] Can't write packet with unknown timestamp\n"
         "Error writing trailer of out.mkv: No space left on device\n",
         "Error writing trailer of out.mkv: No space left on device"},
        {"an error line that is no consequence", "Unknown encoder 'libfoo'\nConversion failed!\n",
         "Unknown encoder 'libfoo'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reportOf(c.output).errorLine(), c.reason) << c.name;
}
