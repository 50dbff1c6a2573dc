// A plan run by GNU parallel on two machines, over SSH: two loopback addresses of an sshd the
// test starts itself, with the real converter.
#include "BatchRun.h"
#include "LoopbackSsh.h"
#include "support/Processes.h"
#include "support/Wait.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

using namespace clipforge::test;

namespace {

const char* const Catalogue = "<commands><profile><format>MP4</format>"
                              "<params>-n -c:v mpeg4 -q:v 5 -c:a aac -b:a 64k</params><ext>mp4</ext></profile></commands>";

// A process given these arguments in a row; -1 when none.
pid_t processWithArguments(const std::vector<std::string>& arguments)
{
    std::string row(1, '\0');
    for (const std::string& argument : arguments)
        row += argument + '\0';
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") == std::string::npos &&
            readFile(entry.path() / "cmdline").find(row) != std::string::npos)
            return std::stoi(name);
    }
    return -1;
}

// Seq (the plan's line number) to Exitval, and the hosts, of a GNU parallel joblog.
struct JobLog {
    std::map<int, int> exitValues;
    std::set<std::string> hosts;
};

JobLog readJobLog(const std::string& path)
{
    JobLog log;
    for (const std::string& line : lines(readFile(path))) {
        std::istringstream fields(line);
        int sequence = 0, exitValue = 0;
        std::string host;
        double start = 0, runtime = 0, sent = 0, received = 0;
        if (fields >> sequence >> host >> start >> runtime >> sent >> received >> exitValue) {
            log.exitValues[sequence] = exitValue;
            log.hosts.insert(host);
        }
    }
    return log;
}

// Holds a job in the middle of its conversion: its source is a FIFO that gets only the first part
// of a clip until the job is killed.
class HeldSource {
public:
    HeldSource(std::string path, std::string bytes) : path_(std::move(path)), bytes_(std::move(bytes))
    {
        ::signal(SIGPIPE, SIG_IGN);
        ::mkfifo(path_.c_str(), 0644);
    }
    ~HeldSource()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    // Returns once the converter has opened the FIFO and read far enough for started() to hold:
    // writing more than a pipe holds blocks until the reader takes it. False when the clip ran
    // out first.
    bool feedUntil(const std::function<bool()>& started)
    {
        if (!waitFor([&] { return (fd_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }))
            return false;
        ::fcntl(fd_, F_SETFL, 0);
        constexpr std::size_t Chunk = 65536;
        for (std::size_t written = 0; !started(); written += Chunk) {
            if (written + Chunk >= bytes_.size() || ::write(fd_, bytes_.data() + written, Chunk) != Chunk)
                return false;
        }
        return true;
    }
    // The whole clip at the name, for the job's second try.
    void becomeWhole()
    {
        ::close(fd_);
        fd_ = -1;
        std::filesystem::remove(path_);
        writeFile(path_, bytes_);
    }

private:
    std::string path_;
    std::string bytes_;
    int fd_ = -1;
};

class ScaleOutTest : public ::testing::Test {
protected:
    ProgramFolder program{Catalogue};
    QTemporaryDir work;
    std::unique_ptr<LoopbackSsh> ssh;

    void SetUp() override
    {
        for (const char* tool : {"ffmpeg", "ffprobe", "parallel", "setpriv", "ssh", "ssh-keygen"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is needed";
        }
        ASSERT_TRUE(program.valid());
        ssh = std::make_unique<LoopbackSsh>(std::vector<std::string>{"127.0.0.2", "127.0.0.3"});
        if (!ssh->problem().empty())
            GTEST_SKIP() << "no SSH server of the test's own: " << ssh->problem();
        writeFile(file("hosts"), ssh->loginFile());
    }

    std::string file(const std::string& name) const { return work.path().toStdString() + "/" + name; }
    void makeClip(const std::string& name, int seconds) const
    {
        const std::string length = "duration=" + std::to_string(seconds);
        const BatchResult made =
            runProgram("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:" + length, "-f",
                                  "lavfi", "-i", "sine=" + length, "-c:v", "mpeg4", "-q:v", "2", "-c:a", "mp2",
                                  "-f", "mpegts", file(name)});
        ASSERT_EQ(made.exitCode, 0) << made.err;
    }
    // GNU parallel over the two addresses, as the README's recipe runs it.
    std::vector<std::string> parallel(const std::string& option) const
    {
        return {"-c", "exec parallel " + option + " --ssh \"$1\" --sshloginfile \"$2\" --joblog \"$3\" < \"$4\"", "sh",
                ssh->sshCommand(), file("hosts"), file("jobs.log"), file("plan.sh")};
    }
    // Whether a converter has begun to write an output, wherever it keeps it until it is whole.
    bool writingOutput() const
    {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(program.path("convert"))) {
            if (entry.is_regular_file() && entry.file_size() > 0)
                return true;
        }
        return false;
    }
    std::string probe(const std::string& path) const
    {
        return runProgram("ffprobe", {"-v", "error", "-show_entries", "stream=codec_name", "-of", "csv=p=0", path}).out;
    }
};

}  // namespace

TEST_F(ScaleOutTest, APlanOnTwoMachinesSurvivesAKilledJobAndResumesToOneOutputPerGoodJob)
{
    const std::vector<std::string> sources{"held.ts", "first.ts", "broken.ts", "second clip.ts", "it's odd.ts"};
    makeClip("held.ts", 10);
    for (const char* clip : {"first.ts", "second clip.ts", "it's odd.ts"})
        makeClip(clip, 1);
    writeFile(file("broken.ts"), std::string(4096, 'x'));
    std::vector<std::string> make{"make", file("queue.kxl"), "--profile", "0"};
    for (const std::string& source : sources)
        make.push_back(file(source));
    ASSERT_EQ(runBatch(program, make).exitCode, 0);
    const BatchResult plan = runBatch(program, {"plan", file("queue.kxl")});
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    writeFile(file("plan.sh"), plan.out);

    const std::string heldBytes = readFile(file("held.ts"));
    std::filesystem::remove(file("held.ts"));
    HeldSource held(file("held.ts"), heldBytes);
    BatchProcess firstRun("sh", parallel("--halt never"));
    ASSERT_TRUE(held.feedUntil([&] { return writingOutput(); })) << firstRun.errSoFar();
    // Its source names it: another run on this machine may have a job 0 of its own.
    const pid_t job = processWithArguments({"job", "--index", "0", "--source", file("held.ts")});
    ASSERT_GT(job, 0) << "the held job runs under clipforge-batch job";
    ::kill(job, SIGKILL);
    ASSERT_TRUE(waitFor([&] { return processGone(job); }));
    held.becomeWhole();
    const BatchResult first = firstRun.wait();

    const std::string reason = "clipforge-batch: job 2: " + file("broken.ts") + ": Invalid data found when processing input\n";
    EXPECT_EQ(first.exitCode, 2) << "GNU parallel counts the two failed jobs\n" << first.err;
    EXPECT_NE(first.err.find(reason), std::string::npos) << first.err;
    const JobLog firstLog = readJobLog(file("jobs.log"));
    EXPECT_EQ(firstLog.hosts, (std::set<std::string>{"127.0.0.2", "127.0.0.3"}));
    ASSERT_EQ(firstLog.exitValues.size(), sources.size());
    EXPECT_NE(firstLog.exitValues.at(1), 0) << "the killed job";
    EXPECT_EQ(firstLog.exitValues.at(3), 1) << "the broken source";
    for (const int good : {2, 4, 5})
        EXPECT_EQ(firstLog.exitValues.at(good), 0) << sources[static_cast<std::size_t>(good - 1)];
    EXPECT_FALSE(exists(program.path("convert/held.mp4"))) << "the killed job died before its commit";

    const BatchResult resumed = runProgram("sh", parallel("--resume-failed"));
    EXPECT_EQ(resumed.exitCode, 1) << "only the broken source fails again\n" << resumed.err;
    EXPECT_EQ(resumed.err, reason);
    const std::vector<std::string> ended = lines(resumed.out);
    EXPECT_EQ(std::set<std::string>(ended.begin(), ended.end()),
              (std::set<std::string>{"0\tfinished\t0\t" + program.path("convert/held.mp4"),
                                     "2\tfailed\t1\t" + program.path("convert/broken.mp4")}));

    std::set<std::string> outputs;
    for (const auto& entry : std::filesystem::directory_iterator(program.path("convert")))
        outputs.insert(entry.path().filename());
    EXPECT_EQ(outputs, (std::set<std::string>{"held.mp4", "first.mp4", "second clip.mp4", "it's odd.mp4"}))
        << "one output per good job, nothing else";
    for (const std::string& output : outputs)
        EXPECT_EQ(probe(program.path("convert/" + output)), "mpeg4\naac\n") << output;
}

namespace {

pid_t parentOf(pid_t pid)
{
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string state;
    pid_t parent = -1;
    fields >> state >> parent;
    return parent;
}

// The file a held converter wrote in its working folder, somewhere below folder; empty until then.
std::string heldMark(const std::string& folder)
{
    try {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            if (entry.path().filename() == "held.pid")
                return entry.path();
        }
    } catch (const std::filesystem::filesystem_error&) {
        // A folder went while it was read: the next look sees the new state.
    }
    return {};
}

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename());
    return names;
}

}  // namespace

TEST_F(ScaleOutTest, ALongJobSplitOverTwoMachinesSurvivesAKilledPartAndResumesToOneCheckedOutput)
{
    makeClip("long.ts", 24);
    ASSERT_EQ(runBatch(program, {"make", file("queue.kxl"), "--profile", "0", file("long.ts")}).exitCode, 0);
    const BatchResult plan = runBatch(program, {"plan", file("queue.kxl"), "--split", "--split-min", "10"});
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    ASSERT_EQ(lines(plan.out).size(), 5u) << "the sound and four parts\n" << plan.out;
    writeFile(file("plan.sh"), plan.out);
    // The last part (it seeks and runs to the end) holds its converter while the test's flag is
    // there; the converter may write only in its own folder, so it says so there.
    const std::string converter = program.path("bin/ffmpeg");
    std::filesystem::remove(converter);
    writeFile(file("hold"), "");
    writeFile(converter, "#!/bin/sh\ncase \" $* \" in *\" -t \"*) ;; *\" -itsoffset \"*) if [ -e '" + file("hold") +
                             "' ]; then echo $$ > held.new; mv held.new held.pid; exec sleep 600; fi;; esac\n"
                             "exec /usr/bin/ffmpeg \"$@\"\n");
    ::chmod(converter.c_str(), 0755);

    BatchProcess firstRun("sh", parallel("--halt never"));
    std::string mark;
    ASSERT_TRUE(waitFor([&] { return !(mark = heldMark(program.path("convert"))).empty(); })) << firstRun.errSoFar();
    // The converter runs under the supervisor, which runs under the part's line.
    const pid_t line = parentOf(parentOf(std::stoi(readFile(mark))));
    ASSERT_NE(readFile("/proc/" + std::to_string(line) + "/cmdline").find("--split-part"), std::string::npos);
    ::kill(line, SIGKILL);
    ASSERT_TRUE(waitFor([&] { return processGone(line); }));
    std::filesystem::remove(file("hold"));
    const BatchResult first = firstRun.wait();
    EXPECT_EQ(first.exitCode, 1) << "one line failed\n" << first.err;
    EXPECT_EQ(first.out, "") << "no line found every piece";
    const JobLog firstLog = readJobLog(file("jobs.log"));
    EXPECT_EQ(firstLog.hosts, (std::set<std::string>{"127.0.0.2", "127.0.0.3"}));
    EXPECT_EQ(firstLog.exitValues.size(), 5u);

    const BatchResult resumed = runProgram("sh", parallel("--resume-failed"));
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_EQ(resumed.out, "0\tfinished\t0\t" + program.path("convert/long.mp4") + "\n");
    EXPECT_EQ(namesIn(program.path("convert")), std::set<std::string>{"long.mp4"}) << "no split or private folder left";

    std::filesystem::remove(converter);
    std::filesystem::create_symlink("/usr/bin/ffmpeg", converter);
    std::filesystem::create_directories(file("whole"));
    ASSERT_EQ(runBatch(program, {"make", file("whole.kxl"), "--profile", "0", "--folder", file("whole"), file("long.ts")}).exitCode, 0);
    const BatchResult whole = runBatch(program, {"convert", file("whole.kxl")});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const auto frames = [](const std::string& path) {
        return runProgram("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v", "-show_entries",
                                      "stream=nb_read_frames", "-of", "csv=p=0", path}).out;
    };
    EXPECT_EQ(frames(program.path("convert/long.mp4")), frames(file("whole/long.mp4")));
    EXPECT_EQ(probe(program.path("convert/long.mp4")), "mpeg4\naac\n");
}
