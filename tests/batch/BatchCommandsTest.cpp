// clipforge-batch as a script sees it, with a fake converter standing in for ffmpeg.
#include "BatchRun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <thread>

using namespace clipforge::test;

namespace {

// "-i" SOURCE PARAMS... OUTPUT; the source's name picks the behaviour: "fail" exits with 3,
// "hang" records its process id and sleeps, anything else writes the output and exits with 0.
const char* const FakeConverter = R"(#!/bin/sh
source=$2
for output; do :; done
case "$source" in
  *fail*) exit 3 ;;
  *hang*) echo $$ > "$source.pid"; exec sleep 60 ;;
esac
printf 'converted' > "$output"
)";

const char* const Catalogue = "<?xml version=\"1.0\"?>\r\n<commands>\r\n"
                              "<profile><format>Fake &amp; fast</format><params>-n -q 1</params><ext>out</ext></profile>\r\n"
                              "<profile><format>Second</format><params></params><ext>mkv</ext></profile>\r\n"
                              "</commands>\r\n";

bool processAlive(pid_t pid)
{
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto state = stat.rfind(')');
    return state != std::string::npos && state + 2 < stat.size() && stat[state + 2] != 'Z';
}

class BatchCommandsTest : public ::testing::Test {
protected:
    ProgramFolder program{Catalogue, FakeConverter};
    QTemporaryDir work;

    void SetUp() override { ASSERT_TRUE(program.valid()); }

    std::string file(const std::string& name) const { return work.path().toStdString() + "/" + name; }
    std::string touch(const std::string& name) const
    {
        writeFile(file(name), "source");
        return file(name);
    }
    std::string listOf(const std::vector<std::string>& names, int profile = 0)
    {
        std::vector<std::string> arguments{"make", file("q.kxl"), "--profile", std::to_string(profile)};
        for (const std::string& name : names)
            arguments.push_back(touch(name));
        EXPECT_EQ(runBatch(program, arguments).exitCode, 0);
        return file("q.kxl");
    }
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
        {{"--profile", "x", file("a.avi")}, "clipforge-batch: --profile needs a profile number, not \"x\""},
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
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (readFile(pidFile).empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(readFile(pidFile).empty());
    const pid_t converter = std::stoi(readFile(pidFile));
    batch.signal(SIGINT);
    const BatchResult result = batch.wait();

    EXPECT_EQ(result.exitCode, 130);
    EXPECT_EQ(result.out, "0\tfinished\t0\t" + program.path("convert/a.out") + "\n1\tfailed\t259\t" +
                              program.path("convert/hang.out") + "\n3 files, finished 1 of 3\n");
    EXPECT_NE(result.err.find("stopping"), std::string::npos);
    EXPECT_NE(result.err.find("clipforge-batch: job 1: stopped\n"), std::string::npos) << result.err;
    EXPECT_FALSE(processAlive(converter));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(program.path("convert/c.out"))));
}

TEST_F(BatchCommandsTest, HelpForEachCommand)
{
    for (const char* command : {"profiles", "show", "make", "convert"}) {
        const BatchResult result = runBatch(program, {command, "--help"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out.rfind(std::string("Usage: clipforge-batch ") + command, 0), 0u) << result.out;
    }
    EXPECT_EQ(runBatch(program, {"--help"}).out.rfind("Usage: clipforge-batch COMMAND", 0), 0u);
}
