// clipforge-supervisor: runs between clipforge (or clipforge-batch) and one converter, so that
// nothing the converter starts outlives the run, whatever ends it.
//
//   clipforge-supervisor [--confine FOLDER] PROGRAM ARGV0 ARGUMENTS...
//
// With --confine, the converter can create, change or remove files only below FOLDER (and write
// to /dev/null), whatever its arguments ask; see WriteConfinement.h. The tests' stand-in converter
// also writes the markers its tests look for: CLIPFORGE_TEST_WRITABLE_FOLDER names one more folder
// it may write below.
//
// It becomes a child sub-reaper, so every process below it that loses its parent (a daemon's
// double fork, a setsid helper) is handed to it rather than to init. It asks for SIGTERM when the
// thread that started it dies, kill -9 of our program included. When the converter ends, or
// SIGTERM, SIGHUP, SIGINT or SIGQUIT arrives, it kills every process below it, waits for each,
// and ends as the converter did: the same exit code, or the same signal.
//
// Descriptor 3, when open, reports the start: it is closed when the converter runs, and carries
// the error number (an int) when it could not be started.
#include <dirent.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "WriteConfinement.h"

namespace {

constexpr int ReportDescriptor = 3;
constexpr int CannotStart = 127;

bool reportOpen() { return ::fcntl(ReportDescriptor, F_GETFD) >= 0; }

void reportError(int error)
{
    if (reportOpen())
        [[maybe_unused]] const ssize_t written = ::write(ReportDescriptor, &error, sizeof error);
}

sigset_t endingSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGCHLD, SIGTERM, SIGHUP, SIGINT, SIGQUIT})
        sigaddset(&set, signal);
    return set;
}

struct Start {
    const char* confinedTo = nullptr;
    char* program = nullptr;
    char** argv = nullptr;
};

[[noreturn]] void runConverter(const Start& start, pid_t parent)
{
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // Its own process group, as the converter has always had; and it dies with us, should we be
    // killed outright.
    ::setpgid(0, 0);
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
        ::_exit(CannotStart);
    if (start.confinedTo) {
        const char* alsoWritable = std::getenv("CLIPFORGE_TEST_WRITABLE_FOLDER");
        if (const int error = supervisor::confineWrites(start.confinedTo, alsoWritable)) {
            reportError(error);
            ::_exit(CannotStart);
        }
    }
    ::execv(start.program, start.argv);
    reportError(errno);
    ::_exit(CannotStart);
}

// Every process below us, read from /proc: those whose parent is us or is one of them.
std::vector<pid_t> descendants()
{
    std::multimap<pid_t, pid_t> children;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return {};
    while (const dirent* entry = ::readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0)
            continue;
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%d/stat", pid);
        FILE* file = std::fopen(path, "re");
        if (!file)
            continue;
        char text[1024] = {};
        const std::size_t length = std::fread(text, 1, sizeof text - 1, file);
        std::fclose(file);
        text[length] = '\0';
        // The name in parentheses may hold anything, spaces and parentheses included.
        const char* close = std::strrchr(text, ')');
        char state = 0;
        int parent = 0;
        if (close && std::sscanf(close + 1, " %c %d", &state, &parent) == 2)
            children.emplace(parent, pid);
    }
    ::closedir(proc);
    std::vector<pid_t> found;
    std::vector<pid_t> parents{::getpid()};
    while (!parents.empty()) {
        const pid_t parent = parents.back();
        parents.pop_back();
        const auto [first, last] = children.equal_range(parent);
        for (auto child = first; child != last; ++child) {
            found.push_back(child->second);
            parents.push_back(child->second);
        }
    }
    return found;
}

// Kills until nothing is left below us. A process that forks while we kill has its child handed
// to us when it dies, so a later round finds that child; with no child left, nothing is below
// us, and the common case, a converter that started nothing, costs no look at /proc.
void killEverything(pid_t converter, int& converterStatus)
{
    for (;;) {
        int status = 0;
        pid_t ended = ::waitpid(-1, &status, WNOHANG);
        if (ended == 0) {
            for (const pid_t pid : descendants())
                ::kill(pid, SIGKILL);
            ended = ::waitpid(-1, &status, 0);
        }
        if (ended < 0 && errno == EINTR)
            continue;
        if (ended < 0)
            return;
        if (ended == converter)
            converterStatus = status;
    }
}

// Waits for the converter's end or an ending signal; true when the converter ended by itself.
bool waitForEnd(pid_t converter, int& converterStatus)
{
    const sigset_t signals = endingSignals();
    for (;;) {
        siginfo_t info {};
        if (::sigwaitinfo(&signals, &info) < 0)
            continue;
        if (info.si_signo != SIGCHLD)
            return false;
        int status = 0;
        pid_t ended;
        while ((ended = ::waitpid(-1, &status, WNOHANG)) > 0) {
            if (ended == converter) {
                converterStatus = status;
                return true;
            }
        }
    }
}

[[noreturn]] void endAs(int status)
{
    if (!WIFSIGNALED(status))
        std::exit(WIFEXITED(status) ? WEXITSTATUS(status) : CannotStart);
    const int signal = WTERMSIG(status);
    const rlimit noCore {0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    std::exit(128 + signal);
}

// The options before PROGRAM, and PROGRAM with its argv; false when they do not add up.
bool readStart(int argc, char* argv[], Start& start)
{
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--confine") == 0) {
        start.confinedTo = argv[2];
        first = 3;
    }
    if (argc < first + 2)
        return false;
    start.program = argv[first];
    start.argv = argv + first + 1;
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    Start start;
    if (!readStart(argc, argv, start)) {
        std::fprintf(stderr, "usage: clipforge-supervisor [--confine FOLDER] PROGRAM ARGV0 [ARGUMENTS...]\n");
        return CannotStart;
    }
    if (reportOpen())
        ::fcntl(ReportDescriptor, F_SETFD, FD_CLOEXEC);
    const sigset_t signals = endingSignals();
    ::sigprocmask(SIG_BLOCK, &signals, nullptr);
    // Until here the death signal our starter set (SIGKILL) held: nothing was started yet. A
    // kernel without these still gets the converter run, and killed with its process group.
    const pid_t starter = ::getppid();
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != starter) {
        reportError(ESRCH);
        return CannotStart;
    }
    const pid_t self = ::getpid();
    const pid_t converter = ::fork();
    if (converter < 0) {
        reportError(errno);
        return CannotStart;
    }
    if (converter == 0)
        runConverter(start, self);
    ::close(ReportDescriptor);
    int status = 0;
    waitForEnd(converter, status);
    killEverything(converter, status);
    endAs(status);
}
