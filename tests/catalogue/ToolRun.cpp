#include "ToolRun.h"

#include "engine/ConverterCommand.h"

#include <QProcess>
#include <QStringList>

#include <cstdlib>

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

std::string converter()
{
    const char* appFolder = std::getenv("CLIPFORGE_APP_DIR");
    return converterPath(appFolder ? std::string(appFolder) + "/" : std::string());
}

}  // namespace clipforge::test
