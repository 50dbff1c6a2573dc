// clipforge-batch against a hostile user: outputs that would overwrite, escape the output folder
// or write through links; lists written over things that are not lists; names that would forge
// lines of output.
#include "BatchFixture.h"
#include "support/SmallDisk.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <set>

using namespace clipforge::test;

namespace {

// "&#256;" reads as a NUL byte.
const char* const Catalogue = "<commands>"
                              "<profile><format>Nul</format><params>-n</params><ext>wav&#256;</ext></profile>"
                              "<profile><format>Slash</format><params>-n</params><ext>wav/../../escaped</ext></profile>"
                              "<profile><format>Wave</format><params>-n</params><ext>wav</ext></profile>"
                              "</commands>";

class BatchSafetyTest : public BatchFixture {
protected:
    // The fake converter writes "converted" to its output, the way ffmpeg with -y would: over a
    // file, and through a symbolic link.
    BatchSafetyTest() : BatchFixture(Catalogue, "converts") {}

    std::string output(const std::string& name) const { return program.path("convert/" + name); }
    // A list of jobs, each a source name and a profile.
    std::string listOf(const std::vector<std::pair<std::string, int>>& jobs)
    {
        std::string items;
        for (const auto& [name, profile] : jobs)
            items += "<item><filename>" + touch(name) + "</filename><format>" + std::to_string(profile) +
                     "</format><path/></item>";
        writeFile(file("q.kxl"), "<list>" + items + "</list>");
        return file("q.kxl");
    }
};

}  // namespace

TEST_F(BatchSafetyTest, AnExtensionWithANulOrASlashFailsItsJobsAndWritesNothing)
{
    writeFile(output("clip.wav"), "precious");
    // With this folder, "dir.wav/../../escaped" would lead out of the output folder.
    std::filesystem::create_directory(output("dir.wav"));
    const std::string list = listOf({{"clip.avi", 0}, {"dir.avi", 1}, {"clip.avi", 2}});

    const BatchResult result = runBatch(program, {"convert", list});
    EXPECT_EQ(result.exitCode, 1);
    const std::vector<std::string> jobs = lines(result.out);
    ASSERT_EQ(jobs.size(), 4u) << result.out;
    EXPECT_EQ(jobs[0].rfind("0\tfailed\t-", 0), 0u);
    EXPECT_EQ(jobs[1].rfind("1\tfailed\t-", 0), 0u);
    EXPECT_EQ(jobs[2], "2\tfinished\t0\t" + output("clip_2.wav"));
    EXPECT_NE(result.err.find("job 0: profile 0 has an unusable extension"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("job 1: profile 1 has an unusable extension"), std::string::npos) << result.err;
    EXPECT_EQ(readFile(output("clip.wav")), "precious");
    EXPECT_FALSE(exists(program.path("escaped")));

    // The catalogue still loads and lists every profile, the NUL shown escaped.
    const BatchResult profiles = runBatch(program, {"profiles"});
    EXPECT_EQ(profiles.exitCode, 0);
    EXPECT_EQ(lines(profiles.out).size(), 3u);
    EXPECT_NE(profiles.out.find("0\tNul\twav\\x00\t-n\n"), std::string::npos) << profiles.out;
}

TEST_F(BatchSafetyTest, ALinkOrAFolderAtTheOutputNameIsPassedOver)
{
    writeFile(output("clip.wav"), "first");
    std::filesystem::create_directory(output("clip_2.wav"));
    ASSERT_EQ(::symlink(file("target.wav").c_str(), output("link.wav").c_str()), 0);
    const std::string list = listOf({{"clip.avi", 2}, {"clip.avi", 2}, {"clip.avi", 2}, {"link.avi", 2}});

    const BatchResult result = runBatch(program, {"convert", list});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "0\tfinished\t0\t" + output("clip_2_2.wav") + "\n1\tfinished\t0\t" + output("clip_2_2_2.wav") +
                              "\n2\tfinished\t0\t" + output("clip_2_2_2_2.wav") + "\n3\tfinished\t0\t" +
                              output("link_2.wav") + "\n4 files, finished 4 of 4\n");
    EXPECT_FALSE(exists(file("target.wav"))) << "the dangling link's target was created";
    EXPECT_EQ(readFile(output("clip.wav")), "first");
}

// "clip" + 123 times "_2" + ".wav" is the longest name the "_2" rule gives within 255 bytes.
TEST_F(BatchSafetyTest, ManySameNamedJobsAllFinishUnderNamesThatFit)
{
    std::vector<std::pair<std::string, int>> jobs(130, {"clip.avi", 2});
    const std::string list = listOf(jobs);
    const BatchResult result = runBatch(program, {"convert", list});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> ended = lines(result.out);
    ASSERT_EQ(ended.size(), 131u);
    EXPECT_EQ(ended.back(), "130 files, finished 130 of 130");
    std::set<std::string> names;
    for (std::size_t job = 0; job < 130; ++job) {
        const std::string name = ended[job].substr(ended[job].rfind('/') + 1);
        EXPECT_LE(name.size(), 255u);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 130u);
    std::string longest = "clip";
    for (int i = 0; i < 123; ++i)
        longest += "_2";
    EXPECT_EQ(ended[123], "123\tfinished\t0\t" + output(longest + ".wav"));
    EXPECT_EQ(ended[124], "124\tfinished\t0\t" + output("clip_3.wav"));
    EXPECT_EQ(ended[129], "129\tfinished\t0\t" + output("clip_8.wav"));
}

TEST_F(BatchSafetyTest, ControlCharactersInNamesArePrintedEscaped)
{
    const std::string name = "a\nb\tc\r\x1b.avi";
    const std::string list = listOf({{name, 2}, {"plain.avi", 2}});
    const std::string escaped = "a\\nb\\tc\\r\\x1b";

    const BatchResult shown = runBatch(program, {"show", list});
    EXPECT_EQ(shown.out, "0\t2\t\t" + file(escaped + ".avi") + "\n1\t2\t\t" + file("plain.avi") + "\n");

    const BatchResult dry = runBatch(program, {"convert", list, "--dry-run"});
    ASSERT_EQ(lines(dry.out).size(), 2u) << dry.out;
    EXPECT_NE(dry.out.find(output(escaped + ".wav")), std::string::npos);

    const BatchResult converted = runBatch(program, {"convert", list});
    EXPECT_EQ(converted.out, "0\tfinished\t0\t" + output(escaped + ".wav") + "\n1\tfinished\t0\t" + output("plain.wav") +
                                 "\n2 files, finished 2 of 2\n");
    EXPECT_EQ(readFile(output(name.substr(0, name.size() - 4) + ".wav")), "converted");
}

TEST_F(BatchSafetyTest, EveryMessageShowsHostileNamesEscaped)
{
    const std::string name = "a\\b\r\x1b[2J\xc2\x9b\xe9\n.avi";
    const std::string escaped = "a\\\\b\\r\\x1b[2J\\xc2\\x9b\\xe9\\n.avi";
    struct Case {
        std::vector<std::string> arguments;
        std::string err;
    };
    const Case cases[] = {
        {{"make", file("q.kxl"), "--profile", "2", file(name)}, "clipforge-batch: no such file: " + file(escaped) + "\nNothing was written.\n"},
        {{"show", file(name)}, "clipforge-batch: no list file at " + file(escaped) + "\n"},
        {{"convert", file(name), "--dry-run"}, "clipforge-batch: no list file at " + file(escaped) + "\n"},
        {{"show", "--frob" + name}, "clipforge-batch: unknown option for show: --frob" + escaped + "\nTry 'clipforge-batch --help'.\n"},
        {{"make", file("q.kxl"), "--profile", name, "x"}, "clipforge-batch: no profile is called \"" + escaped + "\" or has the extension \"" + escaped + "\"; 'clipforge-batch profiles' lists them\n"},
    };
    for (const Case& c : cases) {
        const BatchResult result = runBatch(program, c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.err;
        EXPECT_EQ(result.err, c.err);
    }

    // The converter names its source in its error line; a carriage return in the name cuts that
    // line, yet the reason keeps the whole name.
    ProgramFolder refusing(Catalogue, "missing");
    ASSERT_TRUE(refusing.valid());
    const std::string list = listOf({{"c\\d\r\x1b[2J.avi", 2}});
    const std::string shownName = file("c\\\\d\\r\\x1b[2J.avi");
    const BatchResult converted = runBatch(refusing, {"convert", list});
    EXPECT_EQ(converted.exitCode, 1);
    EXPECT_EQ(converted.err, "clipforge-batch: job 0: " + shownName + ": No such file or directory\n");
    EXPECT_EQ(runBatch(refusing, {"show", list}).out, "0\t2\t\t" + shownName + "\n");
}

TEST_F(BatchSafetyTest, MakeWritesListFilesOnly)
{
    touch("a.avi");
    writeFile(file("video.mp4"), "a video");
    writeFile(file("page.kxl"), "<html><body/></html>");
    writeFile(file("binary.kxl"), std::string("\0\0\0\x18" "ftypmp42", 12));
    writeFile(file("broken.kxl"), "<list><item>");
    ASSERT_EQ(::mkfifo(file("fifo.kxl").c_str(), 0600), 0);
    std::filesystem::create_directory(file("folder.kxl"));
    std::filesystem::create_symlink(file("folder.kxl"), file("tofolder.kxl"));
    const bool root = ::geteuid() == 0;
    if (root)
        EXPECT_EQ(::mknod(file("device.kxl").c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
    else
        std::cout << "[  SKIPPED ] the device case: mknod needs root\n";

    const std::pair<std::string, std::string> cases[] = {
        {"video.mp4", "video.mp4 already exists and is not named .kxl"},
        {"page.kxl", "page.kxl is not a list file: it holds something other than list items"},
        {"binary.kxl", "binary.kxl is not a list file: it is not an XML file"},
        {"broken.kxl", "broken.kxl is not a list file: "},
        {"fifo.kxl", "fifo.kxl is a FIFO, not a list file"},
        {"folder.kxl", "folder.kxl is a folder, not a list file"},
        {"tofolder.kxl", "tofolder.kxl is a folder, not a list file"},
        {"device.kxl", "device.kxl is a device, not a list file"},
    };
    for (const auto& [list, message] : cases) {
        if (list == "device.kxl" && !root)
            continue;
        const BatchResult result = runBatch(program, {"make", list, "--profile", "2", "a.avi"}, work.path().toStdString());
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_EQ(result.err.rfind("clipforge-batch: " + message, 0), 0u) << result.err;
        EXPECT_NE(result.err.find("Nothing was written."), std::string::npos) << result.err;
    }
    EXPECT_EQ(readFile(file("video.mp4")), "a video");
    EXPECT_FALSE(exists(file("video.mp4.kxl")));
    EXPECT_EQ(readFile(file("page.kxl")), "<html><body/></html>");
    struct stat info {};
    EXPECT_TRUE(::stat(file("fifo.kxl").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    if (root) {
        EXPECT_TRUE(::stat(file("device.kxl").c_str(), &info) == 0 && S_ISCHR(info.st_mode));
    }

    // A new name gets ".kxl"; options may come first; an existing list is replaced.
    EXPECT_EQ(runBatch(program, {"make", "--profile", "2", "queue", "a.avi"}, work.path().toStdString()).exitCode, 0);
    EXPECT_FALSE(exists(file("queue")));
    EXPECT_EQ(lines(runBatch(program, {"show", file("queue.kxl")}).out).size(), 1u);
    EXPECT_EQ(runBatch(program, {"make", file("queue.kxl"), "--profile", "2", file("a.avi"), file("a.avi")}).exitCode, 0);
    EXPECT_EQ(lines(runBatch(program, {"show", file("queue.kxl")}).out).size(), 2u);
}

// Another user exports over a list: they may write the list but not the folder, or the folder
// but the list is not theirs. The list is written either way and keeps its owner.
TEST_F(BatchSafetyTest, AnExportByAnotherUserWritesTheListInPlace)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "running as another user (runuser -u nobody) needs root";
    if (runProgram("runuser", {"-u", "nobody", "--", "true"}).exitCode != 0)
        GTEST_SKIP() << "runuser -u nobody does not work here";
    const uid_t nobody = 65534;
    ::chmod(work.path().toLocal8Bit().constData(), 0755);
    ::chmod(program.path().c_str(), 0755);
    const std::string source = touch("a.avi");
    const std::string old = "<list><item><filename>/old.avi</filename></item></list>";

    std::filesystem::create_directory(file("closed"));
    ::chmod(file("closed").c_str(), 0755);
    writeFile(file("closed/mine.kxl"), old);
    ASSERT_EQ(::chown(file("closed/mine.kxl").c_str(), nobody, nobody), 0);

    std::filesystem::create_directory(file("open"));
    ::chmod(file("open").c_str(), 0777);
    writeFile(file("open/theirs.kxl"), old);
    ::chmod(file("open/theirs.kxl").c_str(), 0666);

    for (const std::string& list : {file("closed/mine.kxl"), file("open/theirs.kxl")}) {
        const BatchResult made = runProgram(
            "runuser", {"-u", "nobody", "--", program.path("clipforge-batch"), "make", list, "--profile", "2", source});
        EXPECT_EQ(made.exitCode, 0) << list << ": " << made.err;
        EXPECT_EQ(runBatch(program, {"show", list}).out, "0\t2\t\t" + source + "\n");
    }
    struct stat info {};
    ASSERT_EQ(::stat(file("closed/mine.kxl").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, nobody);
    ASSERT_EQ(::stat(file("open/theirs.kxl").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u) << "the list changed owner";
    EXPECT_EQ(info.st_mode & 0777, 0666u);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(file("open")))
        ++entries;
    EXPECT_EQ(entries, 1u) << "a temporary file was left";
}

// Another user's list in a folder that takes no new files is rewritten in place: on a full disk
// the rewrite is refused before a byte of the old list changes.
TEST_F(BatchSafetyTest, AnInPlaceExportOnAFullDiskKeepsTheOldList)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "running as another user (runuser -u nobody) and mounting a small disk need root";
    if (runProgram("runuser", {"-u", "nobody", "--", "true"}).exitCode != 0)
        GTEST_SKIP() << "runuser -u nobody does not work here";
    const SmallDisk disk(file("small"), "64k");
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    ::chmod(work.path().toLocal8Bit().constData(), 0755);
    ::chmod(program.path().c_str(), 0755);
    const uid_t nobody = 65534;
    const std::string old = "<list><item><filename>/old.avi</filename></item></list>";
    writeFile(file("small/mine.kxl"), old);
    ASSERT_EQ(::chown(file("small/mine.kxl").c_str(), nobody, nobody), 0);
    writeFile(file("small/filler"), std::string(128 * 1024, 'f'));
    std::vector<std::string> arguments{"-u", "nobody", "--", program.path("clipforge-batch"), "make", file("small/mine.kxl"),
                                       "--profile", "2"};
    for (int source = 0; source < 200; ++source)
        arguments.push_back(touch("a rather long source name to make the list grow " + std::to_string(source) + ".avi"));
    const BatchResult made = runProgram("runuser", arguments);
    EXPECT_NE(made.exitCode, 0);
    EXPECT_NE(made.err.find("No space left on device"), std::string::npos) << made.err;
    EXPECT_EQ(readFile(file("small/mine.kxl")), old);
}
