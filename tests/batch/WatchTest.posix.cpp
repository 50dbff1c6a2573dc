// clipforge-batch watch from the outside: files arriving in every way people and programs make
// them arrive, each converted once and from the whole file, across restarts, and an ending that
// leaves nothing behind. No test waits for time to pass: each waits for what it expects, with a
// generous bound, or for the watcher's own word that it saw something.
#include "BatchFixture.h"
#include "support/Processes.h"
#include "support/ScopedVariable.h"
#include "support/Wait.h"

#include <gtest/gtest.h>

#include <QStandardPaths>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>

using namespace clipforge::test;

namespace {

const char* const Mp4Catalogue =
    "<commands><profile><format>Fake</format><params>-q</params><ext>mp4</ext></profile></commands>";

void append(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}

std::string event(const std::string& name)
{
    return "\"event\":\"" + name + "\"";
}

class WatchTest : public BatchFixture {
protected:
    // The fake converter writes each source's bytes as its output, so an output tells which
    // version of its source was converted.
    WatchTest() : BatchFixture(Mp4Catalogue, "copysource") {}

    std::string folder(const std::string& name) const
    {
        std::filesystem::create_directories(file(name));
        return file(name);
    }
    std::unique_ptr<BatchProcess> watch(const std::string& watched, std::vector<std::string> options = {},
                                        const std::string& settle = "0.3", const std::string& rescan = "0.2")
    {
        std::vector<std::string> arguments{"watch", watched, "--profile", "0", "--json", "--check", "off",
                                           "--settle", settle, "--rescan", rescan};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return std::make_unique<BatchProcess>(program, arguments);
    }
    std::string output(const std::string& name) const { return program.path("convert/" + name); }
    // Waits for the watcher to say it is leaving source alone for this reason.
    static bool saysWaiting(const BatchProcess& run, const std::string& source, const std::string& reason)
    {
        return waitFor([&] {
            for (const std::string& line : lines(run.outSoFar())) {
                if (line.find(event("file-waiting")) != std::string::npos && line.find(source) != std::string::npos &&
                    line.find(reason) != std::string::npos)
                    return true;
            }
            return false;
        });
    }
    static BatchResult end(BatchProcess& run)
    {
        run.signal(SIGTERM);
        return run.wait();
    }
    // Sets the fake converter to act as each source's name asks (fail, hang, ...).
    void convertByName() { writeFile(program.path("bin/ffmpeg.mode"), ""); }

    ScopedVariable state{"XDG_STATE_HOME", file("state")};
};

}  // namespace

TEST_F(WatchTest, EveryWayAFileArrivesIsConvertedOnceFromTheWholeFile)
{
    using Arrival = std::function<void(const std::string& in, const BatchProcess& run)>;
    const struct {
        const char* name;
        std::function<void(const std::string& in)> before;  // before the watch starts
        Arrival during;
        std::map<std::string, std::string> outputs;
        const char* settle;
    } cases[] = {
        {"there at the start", [](const std::string& in) { writeFile(in + "/a.mp4", "start"); },
         nullptr, {{"a.mp4", "start"}}, "0.3"},
        {"copied in", nullptr, [](const std::string& in, const BatchProcess&) { writeFile(in + "/b.MKV", "copied"); },
         {{"b.mp4", "copied"}}, "0.3"},
        {"moved in, into a new subfolder", nullptr,
         [this](const std::string& in, const BatchProcess&) {
             writeFile(file("elsewhere.avi"), "moved");
             std::filesystem::create_directories(in + "/new/deeper");
             std::filesystem::rename(file("elsewhere.avi"), in + "/new/deeper/c.avi");
         },
         {{"c.mp4", "moved"}}, "0.3"},
        {"written slowly, open through a pause longer than the settle time", nullptr,
         [](const std::string& in, const BatchProcess& run) {
             const int fd = ::open((in + "/d.mov").c_str(), O_WRONLY | O_CREAT, 0644);
             ASSERT_EQ(::write(fd, "first half, ", 12), 12);
             EXPECT_TRUE(saysWaiting(run, "d.mov", "open for writing"));
             ASSERT_EQ(::write(fd, "second half", 11), 11);
             ::close(fd);
         },
         {{"d.mp4", "first half, second half"}}, "0.3"},
        {"written in three open/close rounds", nullptr,
         [](const std::string& in, const BatchProcess&) {
             for (const char* round : {"one;", "two;", "three"})
                 append(in + "/e.ts", round);
         },
         {{"e.mp4", "one;two;three"}}, "5"},
        {"renamed from .part", nullptr,
         [](const std::string& in, const BatchProcess& run) {
             writeFile(in + "/f.webm.part", "downloaded");
             EXPECT_TRUE(saysWaiting(run, "f.webm.part", "a partial-download name"));
             std::filesystem::rename(in + "/f.webm.part", in + "/f.webm");
         },
         {{"f.mp4", "downloaded"}}, "0.3"},
        {"a hidden file stays alone", nullptr,
         [](const std::string& in, const BatchProcess& run) {
             writeFile(in + "/.g.mp4", "hidden");
             EXPECT_TRUE(saysWaiting(run, ".g.mp4", "a hidden name"));
             writeFile(in + "/h.mp4", "seen");
         },
         {{"h.mp4", "seen"}}, "0.3"},
    };
    int round = 0;
    for (const auto& c : cases) {
        const std::string in = folder("in" + std::to_string(round++));
        if (c.before)
            c.before(in);
        const std::unique_ptr<BatchProcess> run = watch(in, {}, c.settle);
        if (c.during)
            c.during(in, *run);
        for (const auto& [name, bytes] : c.outputs)
            EXPECT_TRUE(waitFor([&] { return readFile(output(name)) == bytes; })) << c.name << ": " << readFile(output(name));
        const BatchResult result = end(*run);
        EXPECT_EQ(result.exitCode, 130) << c.name << result.err;
        std::vector<std::string> names;
        for (const auto& [name, bytes] : c.outputs)
            names.push_back(name);
        EXPECT_EQ(outputFolder(), names) << c.name;
        EXPECT_EQ(count(result.out, event("job-ended")), c.outputs.size()) << c.name << result.out;
        EXPECT_EQ(count(result.out, event("watch-started")), 1u) << c.name;
        for (const auto& [name, bytes] : c.outputs)
            std::filesystem::remove(output(name));
    }
}

TEST_F(WatchTest, FiftyFilesDroppedAtOnceGiveFiftyOutputsNoneTwice)
{
    const std::string in = folder("in");
    const std::unique_ptr<BatchProcess> run = watch(in, {"--jobs", "2"});
    for (int i = 0; i < 50; ++i)
        writeFile(in + "/clip" + std::to_string(i) + ".mp4", "clip " + std::to_string(i));
    const auto outputs = [&] {
        std::size_t made = 0;
        for (const std::string& name : outputFolder())
            made += name.front() != '.' ? 1 : 0;
        return made;
    };
    EXPECT_TRUE(waitFor([&] { return outputs() == 50; })) << outputs();
    const BatchResult result = end(*run);
    EXPECT_EQ(result.exitCode, 130);
    ASSERT_EQ(outputFolder().size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(readFile(output("clip" + std::to_string(i) + ".mp4")), "clip " + std::to_string(i));
    EXPECT_EQ(count(result.out, event("job-started")), 50u);
    EXPECT_EQ(count(result.out, event("file-seen")), 50u);
}

TEST_F(WatchTest, TheOutputFolderIsNeverWatchedEvenInsideAWatchedFolder)
{
    const struct {
        const char* name;
        std::string watched;
        std::vector<std::string> options;
        std::string outputs;
    } cases[] = {
        {"--folder inside", folder("in"), {"--folder", file("in/out")}, file("in/out/")},
        {"the default output folder inside", program.path(), {}, program.path("convert/")},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<BatchProcess> run = watch(c.watched, c.options);
        writeFile(c.watched + "/a.mp4", "a");
        EXPECT_TRUE(waitFor([&] { return readFile(c.outputs + "a.mp4") == "a"; })) << c.name;
        writeFile(c.watched + "/b.mp4", "b");
        EXPECT_TRUE(waitFor([&] { return readFile(c.outputs + "b.mp4") == "b"; })) << c.name;
        const BatchResult result = end(*run);
        EXPECT_EQ(result.exitCode, 130) << c.name;
        EXPECT_EQ(count(result.out, event("file-seen")), 2u) << c.name << result.out;
        EXPECT_EQ(count(result.out, event("job-ended")), 2u) << c.name;
        EXPECT_FALSE(exists(c.outputs + "a_2.mp4")) << c.name;
    }
}

TEST_F(WatchTest, ARestartConvertsNothingTwiceNorWhatMovedButWhatChangedOrFailedAndIsAskedFor)
{
    convertByName();
    const std::string in = folder("in");
    writeFile(in + "/a.mp4", "a");
    writeFile(in + "/b.mp4", "b");
    writeFile(in + "/fail.mp4", "f");
    {
        const std::unique_ptr<BatchProcess> run = watch(in);
        EXPECT_TRUE(waitFor([&] { return count(run->outSoFar(), event("job-ended")) == 3; }));
        EXPECT_EQ(end(*run).exitCode, 130);
    }
    EXPECT_EQ(outputFolder(), (std::vector<std::string>{"a.mp4", "b.mp4"}));
    append(in + "/a.mp4", " changed");
    std::filesystem::create_directories(in + "/sorted");
    std::filesystem::rename(in + "/b.mp4", in + "/sorted/b renamed.mp4");
    {
        // The failed file waits for a change or --retry-failed; the changed one is converted
        // again, to the next free name; the moved one is known by its size and time.
        const std::unique_ptr<BatchProcess> run = watch(in);
        EXPECT_TRUE(waitFor([&] { return exists(output("a_2.mp4")); }));
        const BatchResult result = end(*run);
        EXPECT_EQ(count(result.out, event("file-seen")), 1u) << result.out;
        EXPECT_EQ(count(result.out, event("job-ended")), 1u) << result.out;
    }
    {
        const std::unique_ptr<BatchProcess> run = watch(in, {"--retry-failed"});
        EXPECT_TRUE(waitFor([&] { return count(run->outSoFar(), event("job-ended")) == 1; }));
        const BatchResult result = end(*run);
        EXPECT_NE(result.out.find("fail.mp4"), std::string::npos) << result.out;
        EXPECT_EQ(count(result.out, event("job-ended")), 1u) << result.out;
    }
    EXPECT_EQ(outputFolder(), (std::vector<std::string>{"a.mp4", "a_2.mp4", "b.mp4"}));
}

TEST_F(WatchTest, SigtermMidJobLeavesNothingAndTheFileIsConvertedAtTheNextStart)
{
    convertByName();
    const std::string in = folder("in");
    writeFile(in + "/hang.mp4", "h");
    const std::unique_ptr<BatchProcess> run = watch(in);
    EXPECT_TRUE(waitFor([&] { return !readFile(in + "/hang.mp4.pid").empty(); }));
    const long converter = std::stol(readFile(in + "/hang.mp4.pid"));
    const BatchResult result = end(*run);
    EXPECT_EQ(result.exitCode, 130);
    EXPECT_NE(result.err.find("stopped"), std::string::npos) << result.err;
    EXPECT_TRUE(waitFor([&] { return processGone(converter); }));
    EXPECT_EQ(outputFolder(), std::vector<std::string>{});
    EXPECT_EQ(readFile(in + "/hang.mp4"), "h");

    // Stopped is not failed: the next watch takes the file again.
    std::filesystem::remove(in + "/hang.mp4.pid");
    const std::unique_ptr<BatchProcess> again = watch(in);
    EXPECT_TRUE(waitFor([&] { return !readFile(in + "/hang.mp4.pid").empty(); }));
    EXPECT_EQ(end(*again).exitCode, 130);
}

TEST_F(WatchTest, NoticesTheSystemDroppedAreMadeUpForByALookAtEverything)
{
    const std::string in = folder("in");
    // No rescan comes by itself during the test: only the dropped notices can cause one.
    const std::unique_ptr<BatchProcess> run = watch(in, {}, "0.3", "86400");
    writeFile(in + "/first.mp4", "first");
    ASSERT_TRUE(waitFor([&] { return readFile(output("first.mp4")) == "first"; }));
    // While the watcher sleeps, more notices come than the kernel keeps for it.
    const long kept = std::stol(readFile("/proc/sys/fs/inotify/max_queued_events"));
    run->signal(SIGSTOP);
    for (long i = 0; i <= kept; ++i)
        writeFile(in + "/note" + std::to_string(i) + ".txt", "");
    writeFile(in + "/late.mp4", "late");
    run->signal(SIGCONT);
    EXPECT_TRUE(waitFor([&] { return readFile(output("late.mp4")) == "late"; }));
    EXPECT_EQ(end(*run).exitCode, 130);
}

TEST_F(WatchTest, UnusableFoldersAreRefusedBeforeAnythingRuns)
{
    const std::string in = folder("in");
    writeFile(file("plain"), "");
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {"missing folder", {"watch", file("nowhere"), "--profile", "0"}, "no folder to watch at "},
        {"a file", {"watch", file("plain"), "--profile", "0"}, "no folder to watch at "},
        {"the output folder", {"watch", in, "--profile", "0", "--folder", in}, "is the output folder or lies inside it"},
        {"output folder over a file", {"watch", in, "--profile", "0", "--folder", file("plain/x")}, "cannot be made"},
        {"unknown profile", {"watch", in, "--profile", "nope"}, "nope"},
    };
    for (const auto& c : cases) {
        const BatchResult result = runBatch(program, c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.name;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << c.name << ": " << result.err;
    }
    // One watcher per folder and profile.
    const std::unique_ptr<BatchProcess> first = watch(in);
    EXPECT_TRUE(waitFor([&] { return first->outSoFar().find(event("watch-started")) != std::string::npos; }));
    const BatchResult second = runBatch(program, {"watch", in, "--profile", "0"});
    EXPECT_EQ(second.exitCode, 2);
    EXPECT_NE(second.err.find("is already being watched"), std::string::npos) << second.err;
    EXPECT_EQ(end(*first).exitCode, 130);
}

// Waits for the watcher's event of this name about folder, with this text in it.
bool says(const BatchProcess& run, const std::string& name, const std::string& folder, const std::string& text = {})
{
    return waitFor([&] {
        for (const std::string& line : lines(run.outSoFar())) {
            if (line.find(event(name)) != std::string::npos && line.find("\"" + folder + "\"") != std::string::npos &&
                line.find(text) != std::string::npos)
                return true;
        }
        return false;
    });
}

bool mountScratch(const std::string& folder)
{
    return runProgram("mount", {"-t", "tmpfs", "-o", "size=1m", "clipforge-test", folder}).exitCode == 0;
}

TEST_F(WatchTest, AWatchedFolderThatGoesAwayIsWatchedAgainWhenBackAndKeepsItsRecord)
{
    using Change = std::function<void(const std::string& in)>;
    const std::string aside = file("aside");
    const struct {
        const char* name;
        Change away;
        const char* reason;
        Change back;
    } cases[] = {
        {"removed and made again", [](const std::string& in) { std::filesystem::remove_all(in); }, "not there",
         [](const std::string& in) { std::filesystem::create_directory(in); }},
        {"moved away and back", [&](const std::string& in) { std::filesystem::rename(in, aside); }, "not there",
         [&](const std::string& in) { std::filesystem::rename(aside, in); }},
        // Its empty mount point is left at its path: watching that would be watching another folder.
        {"unmounted and mounted again",
         [](const std::string& in) { ASSERT_EQ(runProgram("umount", {in}).exitCode, 0); }, "unmounted",
         [](const std::string& in) { ASSERT_TRUE(mountScratch(in)); }},
    };
    int round = 0;
    for (const auto& c : cases) {
        const std::string in = folder("gone" + std::to_string(round++));
        if (std::string(c.reason) == "unmounted" && !mountScratch(in)) {
            std::cout << "[ SKIPPED ] " << c.name << ": mounting a tmpfs needs root" << std::endl;
            continue;
        }
        writeFile(in + "/a.mp4", "a");
        const std::unique_ptr<BatchProcess> run = watch(in);
        EXPECT_TRUE(waitFor([&] { return readFile(output("a.mp4")) == "a"; })) << c.name;
        c.away(in);
        EXPECT_TRUE(says(*run, "folder-away", in, c.reason)) << c.name << run->outSoFar();
        c.back(in);
        EXPECT_TRUE(says(*run, "folder-back", in)) << c.name << run->outSoFar();
        writeFile(in + "/b.mp4", "b");
        EXPECT_TRUE(waitFor([&] { return readFile(output("b.mp4")) == "b"; })) << c.name;
        const BatchResult result = end(*run);
        EXPECT_EQ(result.exitCode, 130) << c.name;
        EXPECT_EQ(outputFolder(), (std::vector<std::string>{"a.mp4", "b.mp4"})) << c.name << result.out;
        EXPECT_EQ(count(result.out, event("folder-away")), 1u) << c.name;
        EXPECT_NE(result.err.find(in + " is " + c.reason), std::string::npos) << c.name << result.err;
        if (std::string(c.reason) == "unmounted")
            runProgram("umount", {in});
        std::filesystem::remove(output("a.mp4"));
        std::filesystem::remove(output("b.mp4"));
    }
}

TEST_F(WatchTest, AConfigurationFileIsReadAndItsFolderAwaitedWhenNotThereYet)
{
    const std::string in = file("later/in");
    writeFile(file("camera.conf"), "# the camera's card\nwatch = " + in + "\nprofile=0\ncheck=off\nsettle=0.3\n");
    BatchProcess run(program, {"watch", "--config", file("camera.conf"), "--json", "--rescan", "0.2"});
    EXPECT_TRUE(says(run, "folder-away", in, "not there")) << run.outSoFar();
    std::filesystem::create_directories(in);
    EXPECT_TRUE(says(run, "folder-back", in)) << run.outSoFar();
    writeFile(in + "/a.mp4", "a");
    EXPECT_TRUE(waitFor([&] { return readFile(output("a.mp4")) == "a"; }));
    EXPECT_EQ(end(run).exitCode, 130);
}

TEST_F(WatchTest, ASecondWatcherOfTheSameFolderAndProfileIsRefusedHoweverNamed)
{
    const std::string in = folder("in");
    std::filesystem::create_directory_symlink(in, file("link"));
    writeFile(file("camera.conf"), "watch=" + in + "\nprofile=0\n");
    const std::unique_ptr<BatchProcess> first = watch(in);
    EXPECT_TRUE(waitFor([&] { return first->outSoFar().find(event("watch-started")) != std::string::npos; }));
    const std::vector<std::string> seconds[] = {
        {"watch", file("link"), "--profile", "0"},
        {"watch", "--config", file("camera.conf")},
        {"watch", folder("other"), in + "/", "--profile", "0"},
    };
    for (const auto& arguments : seconds) {
        const BatchResult second = runBatch(program, arguments);
        EXPECT_EQ(second.exitCode, 2) << arguments[1];
        EXPECT_NE(second.err.find(in + " is already being watched with profile 0"), std::string::npos) << second.err;
    }
    EXPECT_EQ(end(*first).exitCode, 130);
}

TEST(WatchFfmpegTest, AClipThatArrivesIsConvertedAndChecked)
{
    if (QStandardPaths::findExecutable("ffmpeg").isEmpty())
        GTEST_SKIP() << "ffmpeg is needed";
    ProgramFolder program("<commands><profile><format>MPEG-4</format><params>-n -c:v mpeg4 -q:v 5 -c:a aac</params>"
                          "<ext>mp4</ext></profile></commands>");
    ASSERT_TRUE(program.valid());
    const TempFolder work;
    const ScopedVariable state("XDG_STATE_HOME", work.path() + "state");
    std::filesystem::create_directories(work.path() + "in");
    BatchProcess run(program, {"watch", work.path() + "in", "--profile", "0", "--json", "--settle", "0.3"});
    const BatchResult made = runProgram(
        "ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=duration=1:size=160x120:rate=10", "-f", "lavfi", "-i",
                   "sine=duration=1", "-c:v", "mpeg4", "-c:a", "mp2", "-shortest", work.path() + "in/clip.avi"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_TRUE(waitFor([&] { return run.outSoFar().find(event("job-ended")) != std::string::npos; }));
    run.signal(SIGTERM);
    const BatchResult result = run.wait();
    EXPECT_EQ(result.exitCode, 130);
    EXPECT_NE(result.out.find("\"state\":\"finished\""), std::string::npos) << result.out << result.err;
    EXPECT_NE(result.out.find("\"result\":\"passed\""), std::string::npos) << result.out;
    EXPECT_TRUE(exists(program.path("convert/clip.mp4")));
    EXPECT_EQ(count(result.out, event("job-ended")), 1u);
}
