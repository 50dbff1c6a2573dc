// Measures the console runner against plain system calls and QProcess.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "engine/CommandLineSplitter.h"
#include "engine/ConsoleRunner.h"
#include "engine/ProgressReader.h"

extern char** environ;

namespace {

const char* const TrueProgram = "/bin/true";
constexpr int SpawnRuns = 300;
constexpr int LatencyRuns = 200;
constexpr int FloodLines = 200000;
constexpr auto BallastSettleTime = std::chrono::milliseconds(1500);

std::string fakeConverter() { return CLIPFORGE_FAKE_CONVERTER; }

double seconds(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e9; }

// Runs one command line to its end; returns seconds from Execute to OnTerminated.
class RunnerDriver {
public:
    RunnerDriver()
    {
        runner_.Settings.OnTerminated = [this](TConsoleRunner*, std::uint32_t) {
            ended_ = clock_.nsecsElapsed();
            loop_.quit();
        };
    }
    double runOnce(const std::string& commandLine)
    {
        runner_.Settings.CommandLine = commandLine;
        clock_.start();
        runner_.Execute();
        loop_.exec();
        return static_cast<double>(ended_) / 1e9;
    }
    TConsoleRunner& runner() { return runner_; }

private:
    TConsoleRunner runner_;
    QEventLoop loop_;
    QElapsedTimer clock_;
    qint64 ended_ = 0;
};

double spawnAndWait(const char* program)
{
    QElapsedTimer clock;
    clock.start();
    pid_t pid;
    char* argv[] = {const_cast<char*>(program), nullptr};
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) == 0)
        waitpid(pid, nullptr, 0);
    return seconds(clock);
}

double forkAndWait(const char* program)
{
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    waitpid(pid, nullptr, 0);
    return seconds(clock);
}

template <typename Run>
double total(int runs, Run run)
{
    double sum = 0;
    for (int i = 0; i < runs; ++i)
        sum += run();
    return sum;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double sum(const std::vector<double>& values)
{
    double total = 0;
    for (double value : values)
        total += value;
    return total;
}

// Runner and anchor alternate run by run, so a change in the machine's load
// hits both alike. The median ratio is printed beside the total's, which a
// few runs delayed by other work on the machine can dominate.
void spawnCost(RunnerDriver& driver, const char* label)
{
    std::vector<double> anchor, runner;
    for (int i = 0; i < SpawnRuns; ++i) {
        anchor.push_back(spawnAndWait(TrueProgram));
        runner.push_back(driver.runOnce(TrueProgram));
    }
    const int forkRuns = 30;
    const double fork = total(forkRuns, [] { return forkAndWait(TrueProgram); }) * SpawnRuns / forkRuns;
    std::printf("spawn cost %-12s runner %.3f ms/run, posix_spawn %.3f ms/run: ratio %.2f, of medians %.2f (goal <= "
                "1.1); plain fork ratio %.1f\n",
                label, sum(runner) * 1000 / SpawnRuns, sum(anchor) * 1000 / SpawnRuns, sum(runner) / sum(anchor),
                median(runner) / median(anchor), fork / sum(anchor));
}

double cpuSeconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void idleCost()
{
    TConsoleRunner runner;
    runner.Settings.CommandLine = clipforge::quoteArgument(fakeConverter()) + " hang";
    QEventLoop loop;
    runner.Settings.OnTerminated = [&](TConsoleRunner*, std::uint32_t) { loop.quit(); };
    runner.Execute();
    QTimer::singleShot(200, &loop, &QEventLoop::quit);  // let the start settle
    loop.exec();
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    getrusage(RUSAGE_SELF, &after);
    const double wall = seconds(clock);
    const double cpu = cpuSeconds(after) - cpuSeconds(before);
    const double wakeups = static_cast<double>((after.ru_nvcsw + after.ru_nivcsw) - (before.ru_nvcsw + before.ru_nivcsw));
    std::printf("idle cost: CPU/wall %.2f%% of one core (goal <= 2.5%%), %.0f wake-ups per second\n",
                100 * cpu / wall, wakeups / wall);
    runner.Stop();
    loop.exec();
}

void exitLatency(RunnerDriver& driver)
{
    const std::string program = fakeConverter();
    std::vector<double> runner, anchor;
    for (int i = 0; i < LatencyRuns; ++i) {
        runner.push_back(driver.runOnce(clipforge::quoteArgument(program)));
        anchor.push_back(spawnAndWait(program.c_str()));
    }
    std::printf("exit latency: runner median %.3f ms, worst %.3f ms (goal median < 3 ms); posix_spawn+waitpid "
                "median %.3f ms: ratio %.2f\n",
                median(runner) * 1000, *std::max_element(runner.begin(), runner.end()) * 1000, median(anchor) * 1000,
                median(runner) / median(anchor));
}

// Lines per second the runner delivers to a handler on the main thread; reader, when given, reads
// every complete line there as the conversion driver does.
double runnerLinesPerSecond(const std::string& commandLine, long expectedLines = FloodLines,
                            clipforge::ProgressReader* reader = nullptr)
{
    TConsoleRunner runner;
    long lines = 0;
    QEventLoop loop;
    runner.Settings.OnNewLine = [&](TConsoleRunner*, const std::string& line, TOutputType type) {
        if (type != otEntireLine)
            return;
        ++lines;
        if (reader)
            reader->read(line);
    };
    runner.Settings.OnTerminated = [&](TConsoleRunner*, std::uint32_t) { loop.quit(); };
    runner.Settings.CommandLine = commandLine;
    QElapsedTimer clock;
    clock.start();
    runner.Execute();
    loop.exec();
    const double elapsed = seconds(clock);
    if (lines != expectedLines)
        std::printf("runner lost lines: %ld of %ld\n", lines, expectedLines);
    return static_cast<double>(lines) / elapsed;
}

double processLinesPerSecond(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    long lines = 0;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::readyRead, [&] {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine();
            lines += !line.isEmpty();
        }
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    loop.exec();
    const double elapsed = seconds(clock);
    if (lines != FloodLines)
        std::printf("QProcess lost lines: %ld of %d\n", lines, FloodLines);
    return lines / elapsed;
}

// The same child, flooding the same lines, read by both; each counts every
// complete line in a handler on the main thread. The pair alternates which
// goes first, so neither always finds the caches and the scheduler warmed by
// the other, and the medians keep a run slowed by other work on the machine
// from deciding the figure.
void lineThroughput()
{
    constexpr int Pairs = 9;
    const std::string flood = "flood=" + std::to_string(FloodLines) + ",80";
    const std::string commandLine = clipforge::quoteArgument(fakeConverter()) + " " + flood;
    const auto runRunner = [&] { return runnerLinesPerSecond(commandLine); };
    const auto runProcess = [&] {
        return processLinesPerSecond(QString::fromStdString(fakeConverter()), {QString::fromStdString(flood)});
    };
    runRunner();
    runProcess();
    std::vector<double> runner, process, ratios;
    for (int i = 0; i < Pairs; ++i) {
        if (i % 2 == 0) {
            runner.push_back(runRunner());
            process.push_back(runProcess());
        } else {
            process.push_back(runProcess());
            runner.push_back(runRunner());
        }
        ratios.push_back(runner.back() / process.back());
    }
    std::printf("line throughput: runner %.0f lines/s, QProcess %.0f lines/s: ratio %.2f (goal >= 1); pairs from "
                "%.2f to %.2f\n",
                median(runner), median(process), median(runner) / median(process),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
}

// The converter's own status lines, read with the progress reader attached and without it,
// alternating as above. The reader must cost the runner next to nothing.
void progressThroughput()
{
    constexpr int Pairs = 15;
    const std::string commandLine =
        clipforge::quoteArgument(fakeConverter()) + " status=" + std::to_string(FloodLines);
    std::vector<double> with, without;
    int percent = -1;
    const auto runWith = [&] {
        clipforge::ProgressReader reader;
        with.push_back(runnerLinesPerSecond(commandLine, FloodLines + 1, &reader));
        percent = reader.progress().percent.value_or(-1);
    };
    const auto runWithout = [&] { without.push_back(runnerLinesPerSecond(commandLine, FloodLines + 1)); };
    runWith();
    runWithout();
    with.clear();
    without.clear();
    for (int i = 0; i < Pairs; ++i) {
        if (i % 2 == 0) {
            runWith();
            runWithout();
        } else {
            runWithout();
            runWith();
        }
    }
    std::printf("progress reading: runner %.0f status lines/s with the progress reader, %.0f without: ratio %.3f "
                "(goal >= 0.95); last percent %d\n",
                median(with), median(without), median(with) / median(without), percent);
}

// Resident memory the child start must not pay for.
class Ballast {
public:
    explicit Ballast(std::size_t bytes) : size_(bytes)
    {
        memory_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory_ != MAP_FAILED)
            std::memset(memory_, 1, size_);
    }
    ~Ballast()
    {
        if (memory_ != MAP_FAILED)
            munmap(memory_, size_);
    }
    Ballast(const Ballast&) = delete;
    Ballast& operator=(const Ballast&) = delete;

private:
    std::size_t size_;
    void* memory_;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // Figures can be picked by name: spawn, idle, latency, throughput, progress.
    const auto wanted = [&](const char* name) {
        return argc < 2 || std::find_if(argv + 1, argv + argc, [&](const char* a) { return !std::strcmp(a, name); }) !=
                               argv + argc;
    };
    RunnerDriver driver;
    driver.runOnce(TrueProgram);  // warm up
    if (wanted("spawn")) {
        spawnCost(driver, "as is:");
        Ballast ballast(std::size_t(1) << 30);
        // Faulting in a gigabyte leaves the machine busy for a while after the
        // last page (measured: the runner's ratio stays raised for the next
        // few hundred runs even when the ballast is unmapped again at once,
        // and is back to its figure without ballast after a pause). What this
        // figure is for is the cost of the resident memory itself.
        std::this_thread::sleep_for(BallastSettleTime);
        spawnCost(driver, "with 1 GiB:");
    }
    if (wanted("idle"))
        idleCost();
    if (wanted("latency"))
        exitLatency(driver);
    if (wanted("throughput"))
        lineThroughput();
    if (wanted("progress"))
        progressThroughput();
    return 0;
}
