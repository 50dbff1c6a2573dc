#include "support/Processes.h"

#include "support/Files.h"

#include <QProcess>
#include <QStringList>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace clipforge::test {

ToolOutcome runTool(const std::vector<std::string>& arguments, const std::string& workingFolder)
{
    QStringList rest;
    for (auto argument = arguments.begin() + 1; argument < arguments.end(); ++argument)
        rest << QString::fromLocal8Bit(*argument);
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    if (!workingFolder.empty())
        process.setWorkingDirectory(QString::fromLocal8Bit(workingFolder));
    process.start(QString::fromLocal8Bit(arguments.front()), rest);
    ToolOutcome outcome;
    if (!process.waitForFinished(-1))
        return outcome;
    if (process.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = process.exitCode();
    outcome.out = process.readAllStandardOutput().toStdString();
    outcome.err = process.readAllStandardError().toStdString();
    return outcome;
}

bool processGone(long pid)
{
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto state = stat.rfind(')');
    return state == std::string::npos || state + 2 >= stat.size() || stat[state + 2] == 'Z';
}

bool reaped(long pid)
{
    return ::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG) == -1 && errno == ECHILD;
}

LockInAnotherProcess::LockInAnotherProcess(const std::string& path)
{
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0)
        return;
    const pid_t child = ::fork();
    if (child == 0) {
        // Plain system calls only, in a child forked from a process that may have threads.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        const char held = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        (void)!::write(ready[1], &held, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    pid_ = child;
    char held = 'n';
    locked_ = child > 0 && ::read(ready[0], &held, 1) == 1 && held == 'y';
    ::close(ready[0]);
}

void LockInAnotherProcess::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(static_cast<pid_t>(pid_), SIGKILL);
    ::waitpid(static_cast<pid_t>(pid_), nullptr, 0);
    pid_ = -1;
}

}  // namespace clipforge::test
