#include "engine/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <mutex>
#include <optional>
#include <type_traits>

#include "core/Paths.h"

extern char** environ;

namespace clipforge {

namespace {

// The child shares our memory until it execs (a vfork-style start), so its
// cost does not grow with the size of this program, unlike fork. While it runs
// on our memory it may only make raw system calls: no allocation, no locks, no
// sanitizer bookkeeping, no signal handlers of ours.
#define CLIPFORGE_CHILD_CODE __attribute__((no_sanitize("address", "undefined"), noinline))

constexpr std::size_t ChildStackSize = 64 * 1024;
constexpr int LastSignal = 64;
// Where the supervisor reports the converter's start (see tools/supervisor).
constexpr int ReportDescriptor = 3;
// A supervisor that does not end within this after SIGTERM is killed with its group.
constexpr auto SupervisorGrace = std::chrono::seconds(10);

struct ChildArguments {
    const char* program;
    char* const* argv;
    char* const* envp;
    int standardInput;
    int standardOutput;
    int report;  // -1 without a supervisor
    int niceValue;
    const char* workingFolder;  // null for ours
    pid_t parent;
    volatile int error;  // set by the child when it cannot exec
};

// The kernel's sigaction with every field zero means SIG_DFL, no flags and an
// empty mask, whatever the architecture's field order.
const unsigned long DefaultAction[4] = {};
const unsigned long EmptySignalSet = 0;

[[noreturn]] CLIPFORGE_CHILD_CODE void childFail(ChildArguments* args, int error)
{
    args->error = error != 0 ? error : ECHILD;
    syscall(SYS_exit, 127);
    __builtin_unreachable();
}

CLIPFORGE_CHILD_CODE void resetSignals()
{
    for (int signal = 1; signal <= LastSignal; ++signal)
        if (signal != SIGKILL && signal != SIGSTOP)
            syscall(SYS_rt_sigaction, signal, DefaultAction, nullptr, sizeof EmptySignalSet);
}

CLIPFORGE_CHILD_CODE void closeDescriptorsFrom(unsigned first)
{
    if (syscall(SYS_close_range, first, ~0U, 0) == 0)
        return;
    for (unsigned fd = first; fd < 65536; ++fd)
        syscall(SYS_close, fd);
}

CLIPFORGE_CHILD_CODE void connectDescriptors(ChildArguments* args)
{
    // Moved above the report's place first, so a pipe end that happens to sit on 0 to 3
    // cannot be overwritten before it is used.
    const long input = syscall(SYS_fcntl, args->standardInput, F_DUPFD, ReportDescriptor + 1);
    const long output = syscall(SYS_fcntl, args->standardOutput, F_DUPFD, ReportDescriptor + 1);
    const long report = args->report < 0 ? -1 : syscall(SYS_fcntl, args->report, F_DUPFD, ReportDescriptor + 1);
    if (input < 0 || output < 0 || (args->report >= 0 && report < 0))
        childFail(args, errno);
    if (syscall(SYS_dup3, input, 0, 0) < 0 || syscall(SYS_dup3, output, 1, 0) < 0 ||
        syscall(SYS_dup3, output, 2, 0) < 0)
        childFail(args, errno);
    if (report >= 0 && syscall(SYS_dup3, report, ReportDescriptor, 0) < 0)
        childFail(args, errno);
    closeDescriptorsFrom(report >= 0 ? ReportDescriptor + 1 : ReportDescriptor);
}

CLIPFORGE_CHILD_CODE int runChild(void* data)
{
    auto* args = static_cast<ChildArguments*>(data);
    resetSignals();
    if (syscall(SYS_setpgid, 0, 0) != 0)
        childFail(args, errno);
    // The death signal follows the thread that started us; the runner's worker
    // outlives its child, so in effect it follows this program.
    if (syscall(SYS_prctl, PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0) != 0)
        childFail(args, errno);
    if (syscall(SYS_getppid) != args->parent)
        childFail(args, ESRCH);
    if (args->niceValue > 0)
        syscall(SYS_setpriority, PRIO_PROCESS, 0, args->niceValue);
    if (args->workingFolder && syscall(SYS_chdir, args->workingFolder) != 0)
        childFail(args, errno);
    connectDescriptors(args);
    syscall(SYS_rt_sigprocmask, SIG_SETMASK, &EmptySignalSet, nullptr, sizeof EmptySignalSet);
    syscall(SYS_execve, args->program, args->argv, args->envp);
    childFail(args, errno);
}

bool isExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A name without a slash is looked up the way a shell would, but here in the
// parent: the child must not allocate.
int resolveProgram(const std::string& name, std::string& program)
{
    if (name.empty())
        return ENOENT;
    if (name.find('/') != std::string::npos) {
        program = name;
        return 0;
    }
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= folders.size()) {
        std::size_t end = folders.find(':', begin);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = end > begin ? folders.substr(begin, end - begin) : ".";
        std::string candidate = folder + "/" + name;
        if (isExecutableFile(candidate)) {
            program = std::move(candidate);
            return 0;
        }
        begin = end + 1;
    }
    return ENOENT;
}

// No signal handler of ours may run in the child while it shares our memory.
class AllSignalsBlocked {
public:
    AllSignalsBlocked()
    {
        sigset_t all;
        sigfillset(&all);
        pthread_sigmask(SIG_SETMASK, &all, &saved_);
    }
    ~AllSignalsBlocked() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }
    AllSignalsBlocked(const AllSignalsBlocked&) = delete;
    AllSignalsBlocked& operator=(const AllSignalsBlocked&) = delete;

private:
    sigset_t saved_{};
};

void reap(pid_t pid, int* status)
{
    while (::waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
}

std::uint32_t exitCodeOf(int status)
{
    if (WIFSIGNALED(status))
        return 128 + static_cast<std::uint32_t>(WTERMSIG(status));
    return static_cast<std::uint32_t>(WEXITSTATUS(status));
}

std::mutex supervisorMutex;

std::optional<std::string>& supervisorOverride()
{
    static std::optional<std::string> path;
    return path;
}

struct Launch {
    pid_t pid = -1;
    FileDescriptor endNotifier;
};

// Starts program with these arguments in a new process; 0 or the error number, learnt at once.
int launch(const std::string& program, const std::vector<std::string>& arguments, const ChildStart& request,
           int report, Launch& launched)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const char* workingFolder = request.workingFolder.empty() ? nullptr : request.workingFolder.c_str();
    ChildArguments args{program.c_str(),      argv.data(), environ,       request.standardInput,
                        request.standardOutput, report,      request.niceIncrement,
                        workingFolder,          ::getpid(),  0};
    // The child runs on a stretch of this thread's own stack, which this
    // thread does not use until the child has exec'd or failed: a mapping of
    // its own would cost a map, an unmap and a page fault for every start.
    alignas(64) char stack[ChildStackSize];
    int endNotifier = -1;
    {
        AllSignalsBlocked blocked;
        launched.pid = ::clone(runChild, stack + ChildStackSize, CLONE_VM | CLONE_VFORK | CLONE_PIDFD | SIGCHLD, &args,
                               &endNotifier);
    }
    if (launched.pid < 0)
        return errno;
    launched.endNotifier = FileDescriptor(endNotifier);
    if (args.error != 0) {
        reap(launched.pid, nullptr);
        return args.error;
    }
    return 0;
}

// The supervisor closes its report when the converter runs, or writes why it could not start.
int readStartReport(int fd)
{
    int error = 0;
    ssize_t count;
    while ((count = ::read(fd, &error, sizeof error)) < 0 && errno == EINTR) {
    }
    return count == static_cast<ssize_t>(sizeof error) && error != 0 ? error : 0;
}

}  // namespace

int ChildProcess::start(const ChildStart& request, std::unique_ptr<ChildProcess>& child)
{
    std::string program;
    if (request.arguments.empty())
        return ENOENT;
    if (const int error = resolveProgram(request.arguments.front(), program))
        return error;
    // A child that starts in another folder must still find a program named relative to ours.
    program = absolutePath(program);
    const std::string supervisorPath = supervisor();
    if (!supervisorPath.empty() && isExecutableFile(supervisorPath)) {
        std::vector<std::string> arguments{supervisorPath};
        if (!request.writableFolder.empty())
            arguments.insert(arguments.end(), {"--confine", request.writableFolder});
        arguments.push_back(program);
        arguments.insert(arguments.end(), request.arguments.begin(), request.arguments.end());
        Pipe report;
        Launch launched;
        if (createPipe(report) == 0 &&
            launch(supervisorPath, arguments, request, report.writeEnd.get(), launched) == 0) {
            report.writeEnd.close();
            if (const int error = readStartReport(report.readEnd.get())) {
                reap(launched.pid, nullptr);
                return error;
            }
            child.reset(new ChildProcess(launched.pid, std::move(launched.endNotifier), true));
            return 0;
        }
        // The supervisor itself could not run: the converter is started as it was without one.
    }
    Launch launched;
    if (const int error = launch(program, request.arguments, request, -1, launched))
        return error;
    child.reset(new ChildProcess(launched.pid, std::move(launched.endNotifier), false));
    return 0;
}

void ChildProcess::setSupervisor(std::string path)
{
    const std::lock_guard lock(supervisorMutex);
    supervisorOverride() = std::move(path);
}

std::string ChildProcess::supervisor()
{
    const std::lock_guard lock(supervisorMutex);
    if (supervisorOverride())
        return *supervisorOverride();
    return executableFolder() + "clipforge-supervisor";
}

static_assert(std::is_same_v<pid_t, ChildProcess::ProcessId>);

ChildProcess::ChildProcess(ProcessId pid, FileDescriptor endNotifier, bool supervised)
    : pid_(pid), endNotifier_(std::move(endNotifier)), supervised_(supervised)
{
}

ChildProcess::~ChildProcess() { kill(); }

ChildProcess::State ChildProcess::poll(std::uint32_t& exitCode, int& error)
{
    if (reaped_)
        return State::Ended;
    // Learn of the end without reaping first: while the child is a zombie its process group
    // cannot be handed to anyone else, so what it started can be ended safely, as Stop does.
    siginfo_t info{};
    int result;
    while ((result = ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT)) < 0 &&
           errno == EINTR) {
    }
    if (result < 0) {
        error = errno;
        reaped_ = true;
        return State::Failed;
    }
    if (info.si_pid == 0)
        return State::Running;
    ::kill(-pid_, SIGKILL);
    int status = 0;
    reap(pid_, &status);
    reaped_ = true;
    exitCode = exitCodeOf(status);
    return State::Ended;
}

void ChildProcess::waitForEnd(std::chrono::steady_clock::time_point until) const
{
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0)
        return;
    const timespec timeout{static_cast<time_t>(left.count() / 1000000000), static_cast<long>(left.count() % 1000000000)};
    pollfd end{endNotifier_.get(), POLLIN, 0};
    ::ppoll(&end, 1, &timeout, nullptr);
}

void ChildProcess::kill()
{
    if (reaped_)
        return;
    // The supervisor kills everything below it before it ends; one that does not end in time
    // goes with its group, as an unsupervised child does, so helpers do not linger.
    if (supervised_ && ::kill(pid_, SIGTERM) == 0)
        waitForEnd(std::chrono::steady_clock::now() + SupervisorGrace);
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    reap(pid_, nullptr);
    reaped_ = true;
}

}  // namespace clipforge
