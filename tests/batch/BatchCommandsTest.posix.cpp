// clipforge-batch as a script sees it, with a fake converter standing in for ffmpeg.
#include "BatchFixture.h"
#include "engine/ConverterConfinement.h"
#include "support/Processes.h"
#include "support/Wait.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

#include <sstream>

using namespace clipforge::test;

namespace {

const char* const Catalogue = "<?xml version=\"1.0\"?>\r\n<commands>\r\n"
                              "<profile><format>Fake &amp; fast</format><params>-n -q 1</params><ext>out</ext></profile>\r\n"
                              "<profile><format>Second</format><params></params><ext>mkv</ext></profile>\r\n"
                              "</commands>\r\n";

class BatchCommandsTest : public BatchFixture {
protected:
    BatchCommandsTest() : BatchFixture(Catalogue, "") {}  // the fake plays what each source's name asks
};

}  // namespace

TEST_F(BatchCommandsTest, ProfilesListsIndexNameExtensionAndArguments)
{
    const BatchResult result = runBatch(program, {"profiles"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "0\tFake & fast\tout\t-n -q 1\n1\tSecond\tmkv\t\n");
}

TEST_F(BatchCommandsTest, MakeWritesTheListExportWouldWrite)
{
    touch("a.avi");
    touch("b c.avi");
    const BatchResult result =
        runBatch(program, {"make", "q.kxl", "--profile", "1", "--folder", "out", "a.avi", "./b c.avi"}, work.path().toStdString());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string folder = work.path().toStdString();
    EXPECT_EQ(readFile(file("q.kxl")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<list>\r\n"
              "  <item>\r\n    <filename>" + folder + "/a.avi</filename>\r\n    <format>1</format>\r\n"
              "    <path>" + folder + "/out/</path>\r\n  </item>\r\n"
              "  <item>\r\n    <filename>" + folder + "/b c.avi</filename>\r\n    <format>1</format>\r\n"
              "    <path>" + folder + "/out/</path>\r\n  </item>\r\n</list>\r\n");

    const BatchResult shown = runBatch(program, {"show", file("q.kxl")});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_EQ(shown.out, "0\t1\t" + folder + "/out/\t" + folder + "/a.avi\n1\t1\t" + folder + "/out/\t" + folder + "/b c.avi\n");
}

TEST_F(BatchCommandsTest, MakeRefusesBadInputAndWritesNothing)
{
    touch("a.avi");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"--profile", "0", file("a.avi"), file("missing.avi")}, "clipforge-batch: no such file: " + file("missing.avi")},
        {{"--profile", "0", work.path().toStdString()}, "clipforge-batch: not a file, but a folder: "},
        {{"--profile", "2", file("a.avi")}, "clipforge-batch: there is no profile 2 in the catalogue"},
        {{"--profile", "-1", file("a.avi")}, "clipforge-batch: there is no profile -1"},
        {{"--profile", "x", file("a.avi")}, "clipforge-batch: no profile is called \"x\" or has the extension \"x\""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments{"make", file("q.kxl")};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const BatchResult result = runBatch(program, arguments);
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_EQ(result.err.rfind(c.message, 0), 0u) << result.err;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(file("q.kxl")))) << c.message;
    }
}

TEST_F(BatchCommandsTest, ShowAndConvertRefuseListsTheReaderRefuses)
{
    writeFile(file("bad.kxl"), "<list><item><filename>a</filename></item>");
    writeFile(file("badformat.kxl"), "<list><item><filename>a</filename><format>two</format></item></list>");
    struct Case {
        std::vector<std::string> arguments;
        std::string err;
    };
    const Case cases[] = {
        {{"show", file("bad.kxl")}, "Invalid XML Element: Erroneous end of tag, expecting </list> but </> found\n"},
        {{"convert", file("bad.kxl")}, "Invalid XML Element: Erroneous end of tag, expecting </list> but </> found\n"},
        {{"show", file("badformat.kxl")}, "'two' is not a valid integer value\n"},
        {{"show", file("none.kxl")}, "clipforge-batch: no list file at " + file("none.kxl") + "\n"},
        {{"convert", file("none.kxl"), "--dry-run"}, "clipforge-batch: no list file at " + file("none.kxl") + "\n"},
        {{"frobnicate"}, "clipforge-batch: unknown command: frobnicate\nTry 'clipforge-batch --help'.\n"},
    };
    for (const Case& c : cases) {
        const BatchResult result = runBatch(program, c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(BatchCommandsTest, ConvertReportsEveryJobAndFailsWhenOneFailed)
{
    const std::string list = listOf({"a.avi", "fail.avi", "c.avi"});
    const BatchResult result = runBatch(program, {"convert", list});
    const std::string convert = program.path("convert/");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "0\tfinished\t0\t" + convert + "a.out\n1\tfailed\t3\t" + convert + "fail.out\n2\tfinished\t0\t" +
                              convert + "c.out\n3 files, finished 2 of 3\n");
    EXPECT_EQ(result.err, "clipforge-batch: job 1: the converter ended with code 3\n");
    EXPECT_EQ(readFile(convert + "a.out"), "converted");
}

TEST_F(BatchCommandsTest, ConvertSucceedsWhenEveryJobFinishesAndNeverOverwrites)
{
    const std::string list = listOf({"a.avi", "a.mpg"});
    writeFile(program.path("convert/a.out"), "precious");
    const BatchResult result = runBatch(program, {"convert", list});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readFile(program.path("convert/a.out")), "precious");
    EXPECT_EQ(readFile(program.path("convert/a_2.out")), "converted");
    EXPECT_EQ(readFile(program.path("convert/a_2_2.out")), "converted");
}

TEST_F(BatchCommandsTest, DryRunPrintsTheCommandLinesARunWouldUse)
{
    const std::string list = listOf({"a.avi", "a.mpg", "it's \"q\".avi"});
    writeFile(program.path("convert/a.out"), "exists");
    const BatchResult result = runBatch(program, {"convert", list, "--dry-run"});
    const std::string converter = "\"" + program.path("bin/ffmpeg") + "\" -i \"";
    const std::string convert = program.path("convert/");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, converter + file("a.avi") + "\" -n -q 1 \"" + convert + "a_2.out\"\n" +
                              converter + file("a.mpg") + "\" -n -q 1 \"" + convert + "a_2_2.out\"\n" +
                              converter + file("it's \\\"q\\\".avi") + "\" -n -q 1 \"" + convert + "it's \\\"q\\\".out\"\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(convert + "a_2.out"))) << "a dry run converts nothing";
}

TEST_F(BatchCommandsTest, AJobWithAProfileTheCatalogueLacksFailsAndTheOthersRun)
{
    writeFile(file("q.kxl"), "<list><item><filename>" + touch("a.avi") + "</filename><format>5</format></item>"
                             "<item><filename>" + touch("b.avi") + "</filename><format>0</format></item></list>");
    const BatchResult dry = runBatch(program, {"convert", file("q.kxl"), "--dry-run"});
    EXPECT_EQ(dry.exitCode, 1);
    EXPECT_EQ(dry.err, "clipforge-batch: job 0: profile 5 is not in the catalogue\n");

    const BatchResult result = runBatch(program, {"convert", file("q.kxl")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "0\tfailed\t-\t-\n1\tfinished\t0\t" + program.path("convert/b.out") + "\n2 files, finished 1 of 2\n");
    EXPECT_EQ(result.err, dry.err);
}

TEST_F(BatchCommandsTest, AFileNameWithANulByteFailsWithoutReachingTheConverter)
{
    // The converter would be handed only the part before the NUL: another, existing file.
    const std::string cut = touch("a");
    writeFile(file("q.kxl"), "<list><item><filename>" + cut + std::string("\0b.avi", 6) +
                                 "</filename><format>0</format></item>"
                                 "<item><filename>" + touch("b.avi") + "</filename><format>0</format></item></list>");
    const std::string message =
        "clipforge-batch: job 0: A file name holding a NUL byte cannot be given to the converter\n";
    const BatchResult dry = runBatch(program, {"convert", file("q.kxl"), "--dry-run"});
    EXPECT_EQ(dry.exitCode, 1);
    EXPECT_EQ(dry.err, message);

    const BatchResult result = runBatch(program, {"convert", file("q.kxl")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "0\tfailed\t-\t-\n1\tfinished\t0\t" + program.path("convert/b.out") + "\n2 files, finished 1 of 2\n");
    EXPECT_EQ(result.err, message);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(program.path("convert/a"))));
}

TEST_F(BatchCommandsTest, AMissingConverterGivesOneMessagePerJob)
{
    const std::string list = listOf({"a.avi", "b.avi"});
    ::unlink(program.path("bin/ffmpeg").c_str());
    const BatchResult result = runBatch(program, {"convert", list});
    EXPECT_EQ(result.exitCode, 1);
    const std::string converter = "\"" + program.path("bin/ffmpeg") + "\" -i \"";
    const std::string cannotStart = "the converter could not be started: ";
    EXPECT_EQ(result.err, "clipforge-batch: job 0: " + cannotStart + converter + file("a.avi") + "\" -n -q 1 \"" +
                              program.path("convert/a.out") + "\" doesn't exist.\n" + "clipforge-batch: job 1: " +
                              cannotStart + converter + file("b.avi") + "\" -n -q 1 \"" + program.path("convert/b.out") +
                              "\" doesn't exist.\n");
    EXPECT_NE(result.out.find("2 files, finished 0 of 2\n"), std::string::npos);
}

TEST_F(BatchCommandsTest, CtrlCStopsTheRunAndLeavesNoConverterRunning)
{
    const std::string list = listOf({"a.avi", "hang.avi", "c.avi"});
    BatchProcess batch(program, {"convert", list});
    const std::string pidFile = file("hang.avi.pid");
    ASSERT_TRUE(waitFor([&] { return !readFile(pidFile).empty(); }));
    const pid_t converter = std::stoi(readFile(pidFile));
    batch.signal(SIGINT);
    const BatchResult result = batch.wait();

    EXPECT_EQ(result.exitCode, 130);
    EXPECT_EQ(result.out, "0\tfinished\t0\t" + program.path("convert/a.out") + "\n1\tfailed\t259\t" +
                              program.path("convert/hang.out") + "\n3 files, finished 1 of 3\n");
    EXPECT_NE(result.err.find("stopping"), std::string::npos);
    EXPECT_NE(result.err.find("clipforge-batch: job 1: stopped\n"), std::string::npos) << result.err;
    EXPECT_TRUE(processGone(converter));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(program.path("convert/c.out"))));
}

TEST_F(BatchCommandsTest, HelpForEachCommand)
{
    for (const char* command : {"profiles", "show", "make", "convert", "plan", "job"}) {
        const BatchResult result = runBatch(program, {command, "--help"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out.rfind(std::string("Usage: clipforge-batch ") + command, 0), 0u) << result.out;
    }
    EXPECT_EQ(runBatch(program, {"--help"}).out.rfind("Usage: clipforge-batch COMMAND", 0), 0u);
    const BatchResult version = runBatch(program, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    // In the form the window's program uses: "clipforge (Norvane Clipforge) 0.1".
    EXPECT_EQ(version.out.rfind("clipforge-batch (Norvane Clipforge) 0.", 0), 0u) << version.out;
}

TEST_F(BatchCommandsTest, RawPlanPrintsShellCommandsThatDoWhatARunWould)
{
    const std::string odd = "it's \"q\" $HOME `x` \\ *.avi";
    const std::string list = listOf({"a.avi", "a.mpg", odd, "line\nbreak.avi"});
    writeFile(program.path("convert/a.out"), "exists");
    const BatchResult plan = runBatch(program, {"plan", "--raw", list});
    EXPECT_EQ(plan.exitCode, 1);
    EXPECT_EQ(plan.err, "clipforge-batch: job 3: a name holding a line break cannot be written on one line of a plan\n");
    const std::string convert = program.path("convert/");
    const std::string converter = program.path("bin/ffmpeg") + " -i ";
    EXPECT_EQ(plan.out, converter + file("a.avi") + " -n -q 1 " + convert + "a_2.out </dev/null\n" +
                            converter + file("a.mpg") + " -n -q 1 " + convert + "a_2_2.out </dev/null\n" +
                            converter + "'" + file("it'\\''s \"q\" $HOME `x` \\ *.avi") + "' -n -q 1 '" + convert +
                            "it'\\''s \"q\" $HOME `x` \\ *.out' </dev/null\n");

    std::istringstream lines(plan.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(runProgram("sh", {"-c", line}).exitCode, 0) << line;
    EXPECT_EQ(readFile(convert + "a.out"), "exists");
    for (const char* output : {"a_2.out", "a_2_2.out", "it's \"q\" $HOME `x` \\ *.out"})
        EXPECT_EQ(readFile(convert + output), "converted") << output;
}

TEST_F(BatchCommandsTest, MakeTakesAProfileByNumberNameOrAnExtensionOnlyOneHas)
{
    ProgramFolder catalogue("<commands>"
                            "<profile><format>MP4 small</format><params>-n</params><ext>mp4</ext></profile>"
                            "<profile><format>MP4 large</format><params>-n</params><ext>mp4</ext></profile>"
                            "<profile><format>MP3 audio</format><params>-n</params><ext>mp3</ext></profile>"
                            "<profile><format>7</format><params>-n</params><ext>seven</ext></profile>"
                            "<profile><format>MP3 copied</format><params>-n -map 0:a:0 -c copy</params>"
                            "<ext>mp3</ext></profile>"
                            "</commands>",
                            "");
    ASSERT_TRUE(catalogue.valid());
    struct Case {
        std::string wanted;
        std::string format;  // the profile the list holds; empty when make refuses
        std::string message;
    };
    const Case cases[] = {
        {"1", "1", ""},
        {"MP3 audio", "2", ""},
        {"mp3", "2", ""},
        {".MP3", "2", ""},
        {"seven", "3", ""},
        {"4", "4", ""},
        {"MP3 copied", "4", ""},
        {"7", "", "clipforge-batch: there is no profile 7 in the catalogue; 'clipforge-batch profiles' lists them\n"},
        {"mp4", "", "clipforge-batch: --profile mp4 fits several profiles: 0 (MP4 small), 1 (MP4 large); give the "
                    "number of one\n"},
        {"mp3 audio", "", "clipforge-batch: no profile is called \"mp3 audio\" or has the extension \"mp3 audio\"; "
                          "'clipforge-batch profiles' lists them\n"},
        {"", "", "clipforge-batch: no profile is called \"\" or has the extension \"\"; 'clipforge-batch profiles' "
                 "lists them\n"},
    };
    const std::string source = touch("a.avi");
    for (const Case& c : cases) {
        QFile::remove(QString::fromStdString(file("q.kxl")));
        const BatchResult made = runBatch(catalogue, {"make", file("q.kxl"), "--profile", c.wanted, source});
        EXPECT_EQ(made.err, c.message) << c.wanted;
        EXPECT_EQ(made.exitCode, c.format.empty() ? 2 : 0) << c.wanted;
        if (!c.format.empty()) {
            EXPECT_EQ(runBatch(catalogue, {"show", file("q.kxl")}).out, "0\t" + c.format + "\t\t" + source + "\n");
        }
    }
}

TEST_F(BatchCommandsTest, SeveralJobsRunAtOnceWithoutSharingANameAndEachLineComesAsItsJobEnds)
{
    const std::string list = listOf({"wait1.avi", "wait1.mpg", "wait2.avi", "wait3.avi"});
    const std::string convert = program.path("convert/");
    BatchProcess batch(program, {"convert", list, "--jobs", "3"});
    // Three converters at once, and the two same-named jobs on two names before either file exists.
    ASSERT_TRUE(waitFor([&] {
        return exists(convert + "wait1.out.running") && exists(convert + "wait1_2.out.running") &&
               exists(convert + "wait2.out.running");
    }));
    EXPECT_FALSE(exists(convert + "wait3.out.running")) << "a fourth job waits for a free converter";
    const auto lines = [&batch] {
        const std::string out = batch.outSoFar();
        return std::count(out.begin(), out.end(), '\n');
    };
    const std::pair<const char*, const char*> releases[] = {
        {"wait2.avi", "wait2.out"}, {"wait1.avi", "wait1.out"}, {"wait3.avi", "wait3.out"}, {"wait1.mpg", "wait1_2.out"}};
    for (const auto& [source, output] : releases) {
        ASSERT_TRUE(waitFor([&] { return exists(convert + output + ".running"); })) << source;
        const auto before = lines();
        writeFile(file(source) + ".go", "");
        ASSERT_TRUE(waitFor([&] { return lines() > before; })) << source;
    }
    const BatchResult result = batch.wait();
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "2\tfinished\t0\t" + convert + "wait2.out\n0\tfinished\t0\t" + convert + "wait1.out\n" +
                              "3\tfinished\t0\t" + convert + "wait3.out\n1\tfinished\t0\t" + convert + "wait1_2.out\n" +
                              "4 files, finished 4 of 4\n");
}

TEST_F(BatchCommandsTest, CtrlCStopsEveryRunningConverterAndStartsNoOther)
{
    const std::string list = listOf({"hang1.avi", "hang2.avi", "c.avi"});
    BatchProcess batch(program, {"convert", list, "--jobs", "2"});
    ASSERT_TRUE(waitFor([&] { return !readFile(file("hang1.avi.pid")).empty() && !readFile(file("hang2.avi.pid")).empty(); }));
    const pid_t first = std::stoi(readFile(file("hang1.avi.pid")));
    const pid_t second = std::stoi(readFile(file("hang2.avi.pid")));
    batch.signal(SIGINT);
    const BatchResult result = batch.wait();
    EXPECT_EQ(result.exitCode, 130);
    EXPECT_NE(result.out.find("0\tfailed\t259\t"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("1\tfailed\t259\t"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.substr(result.out.size() - 25), "3 files, finished 0 of 3\n");
    EXPECT_TRUE(processGone(first));
    EXPECT_TRUE(processGone(second));
    EXPECT_FALSE(exists(program.path("convert/c.out")));
}

TEST_F(BatchCommandsTest, JsonGivesOneObjectPerEvent)
{
    const std::string list = listOf({"a.avi", "fail.avi"});
    const std::string convert = program.path("convert/");
    const BatchResult result = runBatch(program, {"convert", list, "--json"});
    EXPECT_EQ(result.exitCode, 1);
    std::string events;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"event\":\"progress\"") == std::string::npos)
            events += line + "\n";
    }
    const std::string confined = clipforge::landlockAbi() > 0 ? "true" : "false";
    EXPECT_EQ(events,
              "{\"event\":\"run-started\",\"jobs\":2,\"parallel\":1,\"confined\":" + confined + "}\n"
              "{\"event\":\"job-started\",\"index\":0,\"source\":\"" + file("a.avi") + "\",\"output\":\"" + convert + "a.out\"}\n"
              "{\"event\":\"job-ended\",\"index\":0,\"state\":\"finished\",\"exit_code\":0,\"output\":\"" + convert +
              "a.out\",\"reason\":null,\"check\":{\"mode\":\"streams\",\"result\":\"passed\",\"note\":"
              "\"the source's packets could not be read (Invalid data found when processing input): nothing was compared\"}}\n"
              "{\"event\":\"job-started\",\"index\":1,\"source\":\"" + file("fail.avi") + "\",\"output\":\"" + convert + "fail.out\"}\n"
              "{\"event\":\"job-ended\",\"index\":1,\"state\":\"failed\",\"exit_code\":3,\"output\":\"" + convert +
              "fail.out\",\"reason\":\"the converter ended with code 3\"}\n"
              "{\"event\":\"run-ended\",\"jobs\":2,\"finished\":1,\"failed\":1,\"stopped\":false}\n");
    EXPECT_EQ(result.err, "clipforge-batch: job 1: the converter ended with code 3\n");
}

// Runs a list of one job that waits halfway until what it shows contains shown, then lets it end.
BatchResult runHalfway(BatchProcess& batch, const std::string& gate, const std::string& shown)
{
    EXPECT_TRUE(waitFor([&] { return batch.outSoFar().find(shown) != std::string::npos; })) << batch.outSoFar();
    writeFile(gate, "");
    return batch.wait();
}

TEST_F(BatchCommandsTest, JsonTellsHowFarARunningJobHasGot)
{
    BatchProcess batch(program, {"convert", listOf({"half.avi"}), "--json"});
    const BatchResult result =
        runHalfway(batch, file("half.avi.go"), "{\"event\":\"progress\",\"index\":0,\"percent\":50,\"speed\":2.50,");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(",\"left\":2.00,\"position\":5.00,\"duration\":10.00}\n"), std::string::npos) << result.out;
}

TEST_F(BatchCommandsTest, OnATerminalALiveLineShowsEveryRunningJob)
{
    // script gives the run a terminal of its own.
    const std::string command = program.path("clipforge-batch") + " convert " + listOf({"half.avi"});
    BatchProcess batch("script", {"-qec", command, "/dev/null"});
    const std::string live = "0 of 1 done | job 0: 50% 2.5x 00:00:02 left";
    const BatchResult result = runHalfway(batch, file("half.avi.go"), "\r" + live);
    EXPECT_EQ(result.exitCode, 0) << result.out;
    // The live line is blanked before the job's line, which stays.
    const std::string line = "\r" + std::string(live.size(), ' ') + "\r0\tfinished\t0\t" + program.path("convert/half.out");
    EXPECT_NE(result.out.find(line), std::string::npos) << result.out;
}
