// The progress reader on real converter output (recorded under tests/data/ffmpeg with the
// catalogue's own arguments) and on single lines.
#include <gtest/gtest.h>

#include "RecordedOutput.h"


#include "engine/Decimals.h"
#include "engine/LineCutter.h"
#include "engine/ProgressReader.h"
#include "engine/ProgressText.h"
#include "engine/RunPercent.h"
#include "support/ScopedVariable.h"
#include "support/TempFolder.h"

#include <QProcess>

#include <clocale>

using clipforge::JobProgress;
using clipforge::LineCutter;
using clipforge::ProgressReader;

namespace {

// The reader's view of a job after each line that moved it on, with the output arriving in
// reads of the given size, cut into lines as the runner cuts them.
std::vector<JobProgress> readInChunks(const std::string& output, std::size_t chunk)
{
    ProgressReader reader([] { return std::chrono::steady_clock::time_point(); });
    LineCutter cutter;
    std::vector<JobProgress> seen;
    for (std::size_t at = 0; at < output.size(); at += chunk) {
        const clipforge::OutputBatch pieces = cutter.cut(std::string_view(output).substr(at, chunk));
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (pieces.type(i) == otEntireLine && reader.read(pieces.text(i)))
                seen.push_back(reader.progress());
        }
    }
    return seen;
}

struct Recording {
    const char* file;
    std::optional<double> duration;
    std::vector<std::optional<int>> percents;
    double lastPosition;
    std::optional<double> firstSpeed;
    double lastSpeed;
};

void PrintTo(const Recording& recording, std::ostream* out) { *out << recording.file; }

class RecordedOutput : public testing::TestWithParam<Recording> {};

TEST_P(RecordedOutput, GivesTheDurationAndEveryStatusLineWhateverTheReadSizes)
{
    const Recording& expected = GetParam();
    const std::string output = clipforge::test::recordedOutput(expected.file);
    ASSERT_FALSE(output.empty()) << expected.file;
    const std::vector<JobProgress> whole = readInChunks(output, output.size());
    ASSERT_EQ(whole.size(), expected.percents.size() + (expected.duration ? 1 : 0));
    const std::size_t first = expected.duration ? 1 : 0;
    for (std::size_t i = first; i < whole.size(); ++i) {
        EXPECT_EQ(whole[i].durationSeconds, expected.duration);
        EXPECT_EQ(whole[i].percent, expected.percents[i - first]) << "status line " << i - first;
        if (i > first) {
            EXPECT_EQ(whole[i].secondsLeft.has_value(), expected.duration.has_value());
        }
    }
    EXPECT_EQ(whole[first].speed, expected.firstSpeed);
    EXPECT_DOUBLE_EQ(*whole.back().positionSeconds, expected.lastPosition);
    EXPECT_DOUBLE_EQ(*whole.back().speed, expected.lastSpeed);
    // Lines ending in CR, CR LF pairs and lines split anywhere between reads.
    for (std::size_t chunk : {1, 2, 3, 7, 100, 1000})
        EXPECT_EQ(readInChunks(output, chunk), whole) << "reads of " << chunk << " bytes";
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, RecordedOutput,
    testing::Values(Recording{"progress-h264-video.log", 20.04, {0, 13, 22, 36, 46, 56, 77, 96, 99}, 20.03, 12.3, 5.31},
                    Recording{"progress-h265-video.log", 8.01, {0, 25, 39, 56, 82, 100}, 8.01, 6.94, 3.18},
                    Recording{"progress-mp3-audio.log", 600.03, {0, 11, 21, 32, 45, 57, 70, 83, 99, 99}, 600, std::nullopt, 147},
                    Recording{"progress-unknown-duration.log", std::nullopt, {{}, {}, {}, {}, {}, {}}, 19.92, 0, 8.95}),
    [](const testing::TestParamInfo<Recording>& info) {
        std::string name = info.param.file;
        name = name.substr(9, name.find('.') - 9);
        std::erase(name, '-');
        return name;
    });

struct LineCase {
    std::vector<std::string> lines;
    std::optional<double> duration;
    std::optional<double> position;
    std::optional<double> speed;
};

TEST(ProgressReader, ReadsOnlyWhatItRecognises)
{
    const LineCase cases[] = {
        {{"  Duration: 01:02:03.50, start: 0.000000, bitrate: 450 kb/s"}, 3723.5, {}, {}},
        {{"Duration: 123:00:00.00, start: 0"}, 442800, {}, {}},
        {{"  Duration: N/A, bitrate: N/A"}, {}, {}, {}},
        // The input's duration comes first; a later one (a stream tag, a second input) is not it.
        {{"  Duration: 00:00:10.00, start: 0", "  Duration: 00:09:00.00, start: 0"}, 10, {}, {}},
        {{"  Duration: N/A, bitrate: N/A", "  Duration: 00:09:00.00, start: 0"}, {}, {}, {}},
        {{"      DURATION        : 00:00:30.000000000", "    creation_time   : 2024-01-01T00:00:00.000000Z"}, {}, {}, {}},
        {{"frame=  1 fps=0.0 q=0.0 size=  0kB time=00:00:02.50 bitrate=N/A speed=2.5x    "}, {}, 2.5, 2.5},
        {{"size=  256kB time=00:01:06.27 bitrate=  31.6kbits/s speed= 133x    "}, {}, 66.27, 133},
        {{"size=  0kB time=N/A bitrate=N/A speed=N/A"}, {}, {}, {}},
        {{"frame=0 size=0kB time=-577014:32:22.77 bitrate=-0.0kbits/s speed=N/A"}, {}, {}, {}},
        {{"size=1kB xtime=00:00:05.00 speed=1x", "time=00:00:05.00 bitrate=1"}, {}, {}, {}},
        {{"time=00:5:00.00 speed=1x", "time=00:00 speed=1x", "size=1kB time=00:00:05.00 speed=fast"}, {}, 5, {}},
    };
    for (const LineCase& c : cases) {
        ProgressReader reader;
        for (const std::string& line : c.lines)
            reader.read(line);
        const JobProgress progress = reader.progress();
        EXPECT_EQ(progress.durationSeconds, c.duration) << c.lines.front();
        EXPECT_EQ(progress.positionSeconds, c.position) << c.lines.front();
        EXPECT_EQ(progress.speed, c.speed) << c.lines.front();
    }
}

TEST(ProgressReader, NeverReportsLessThanItHasReported)
{
    ProgressReader reader;
    reader.read("size=1kB time=00:00:05.00 bitrate=1kbits/s speed=1x");
    EXPECT_EQ(reader.progress().positionSeconds, 5);
    reader.read("size=1kB time=00:00:04.00 bitrate=1kbits/s speed=0.8x");
    EXPECT_EQ(reader.progress().positionSeconds, 5);
    EXPECT_EQ(reader.progress().speed, 0.8);
    // Of status lines read with no question in between, the latest counts.
    reader.read("size=1kB time=00:00:09.00 bitrate=1kbits/s speed=1x");
    reader.read("size=1kB time=00:00:07.00 bitrate=1kbits/s speed=1x");
    EXPECT_EQ(reader.progress().positionSeconds, 7);
}

TEST(ProgressReader, EstimatesTheTimeLeftFromTheSpeedOrElseFromTheElapsedTime)
{
    auto now = std::chrono::steady_clock::time_point();
    ProgressReader reader([&now] { return now; });
    now += std::chrono::seconds(10);
    reader.read("  Duration: 00:01:40.00, start: 0.000000, bitrate: 450 kb/s");
    EXPECT_EQ(reader.progress().percent, 0);
    EXPECT_EQ(reader.progress().secondsLeft, std::nullopt) << "nothing converted yet, nothing to go on";

    reader.read("size=0kB time=00:00:25.00 bitrate=N/A speed=N/A");
    EXPECT_EQ(reader.progress().percent, 25);
    EXPECT_DOUBLE_EQ(*reader.progress().secondsLeft, 30) << "25 s of source in 10 s: 75 s more take 30 s";
    EXPECT_DOUBLE_EQ(reader.progress().elapsedSeconds, 10);

    reader.read("size=0kB time=00:00:50.00 bitrate=N/A speed=5x");
    EXPECT_EQ(reader.progress().percent, 50);
    EXPECT_DOUBLE_EQ(*reader.progress().secondsLeft, 10);

    reader.read("size=0kB time=00:02:00.00 bitrate=N/A speed=5x");
    EXPECT_EQ(reader.progress().percent, 100) << "a source a little longer than its header said";
    EXPECT_DOUBLE_EQ(*reader.progress().secondsLeft, 0);
}

TEST(ProgressReader, WithoutADurationGivesElapsedTimeAndSpeedOnly)
{
    auto now = std::chrono::steady_clock::time_point();
    ProgressReader reader([&now] { return now; });
    reader.read("  Duration: N/A, bitrate: N/A");
    reader.read("frame=  116 fps=0.0 q=28.0 size=0kB time=00:00:02.64 bitrate=0.1kbits/s speed=5.25x    ");
    now += std::chrono::milliseconds(1500);
    const JobProgress progress = reader.progress();
    EXPECT_EQ(progress.percent, std::nullopt);
    EXPECT_EQ(progress.secondsLeft, std::nullopt);
    EXPECT_DOUBLE_EQ(progress.elapsedSeconds, 1.5);
    EXPECT_EQ(progress.speed, 5.25);
    EXPECT_EQ(progress.positionSeconds, 2.64);
}

}  // namespace

TEST(ProgressText, SaysWhatIsKnown)
{
    struct Case {
        JobProgress progress;
        std::string text;
        std::string speed;
    };
    const Case cases[] = {
        {{100, 37, 2.5, 14.9, 37, 25.2}, "37%, about 00:00:26 left", "2.5x"},
        {{7200, 0, {}, 3, 0, {}}, "0%", ""},
        {{4000, 3999, 147, 27, 99, 0.001}, "99%, about 00:00:01 left", "147x"},
        {{{}, 9.5, 5.25, 3725.9, {}, {}}, "01:02:05 elapsed, 5.25x", "5.25x"},
        {{{}, {}, {}, 0.4, {}, {}}, "00:00:00 elapsed", ""},
        {{{}, {}, 1234.6, 360000, {}, {}}, "100:00:00 elapsed, 1235x", "1235x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clipforge::progressText(c.progress), c.text);
        EXPECT_EQ(clipforge::speedText(c.progress), c.speed);
    }
}

// Numbers go onto the converter's command line (a split job's cut points) and come back from the
// packet reader with a point; the program runs in the user's locale, which may use a comma.
TEST(Decimals, WrittenAndReadWithAPointWhateverTheLocale)
{
    const clipforge::test::TempFolder folder;
    if (QProcess::execute("localedef", {"-i", "de_DE", "-f", "UTF-8", QString::fromStdString(folder.path() + "de_DE.UTF-8")}) != 0)
        GTEST_SKIP() << "no decimal-comma locale could be built (localedef and Debian's locales package)";
    const clipforge::test::ScopedVariable path("LOCPATH", folder.path());
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    EXPECT_EQ(clipforge::decimalText(12.5, 6), "12.500000");
    EXPECT_EQ(clipforge::decimalText(3.14159, 1), "3.1");
    EXPECT_EQ(clipforge::decimalValue("12.5"), 12.5);
    EXPECT_EQ(clipforge::decimalValue("12,5"), std::nullopt);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(RunPercent, MovesWithinEachJobAndNeverBack)
{
    struct Case {
        std::uint32_t index, count;
        std::int32_t jobPercent, bar;
    };
    const Case cases[] = {
        {0, 4, 0, 0},     {0, 4, 50, 12},  {0, 4, 100, 25}, {1, 4, 0, 25},   {1, 4, 40, 35},
        {3, 4, 99, 99},   {3, 4, 100, 100}, {0, 1, 37, 37},  {0, 3, 100, 33}, {1, 3, 100, 66},
        {2, 3, 50, 83},   {0, 7, 100, 14},  {0, 200, 100, 0}, {0, 0, 50, 0},
        {0, 4, -5, 0},    {0, 4, 250, 25},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clipforge::runPercent(c.index, c.count, c.jobPercent), c.bar) << c.index << " of " << c.count;
    for (std::uint32_t count : {1u, 3u, 4u, 7u, 150u}) {
        std::int32_t last = 0;
        for (std::uint32_t index = 0; index < count; ++index) {
            for (std::int32_t percent = 0; percent <= 100; ++percent) {
                const std::int32_t bar = clipforge::runPercent(index, count, percent);
                EXPECT_GE(bar, last) << index << " of " << count << " at " << percent;
                last = bar;
            }
        }
    }
}
