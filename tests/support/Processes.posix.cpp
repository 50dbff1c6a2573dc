#include "support/Processes.h"

#include "support/Files.h"

#include <QProcess>
#include <QStringList>

#include <sys/wait.h>

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

}  // namespace clipforge::test
