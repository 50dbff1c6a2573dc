#include "dialogs/DesktopOpener.h"

#include "core/LocalText.h"

#include <QProcess>
#include <QStringList>

namespace clipforge {

namespace {

QString& testProgram()
{
    static QString program;
    return program;
}

int& runningCount()
{
    static int count = 0;
    return count;
}

QString lastLine(const QByteArray& output)
{
    const QStringList lines = widen(output.toStdString()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.constLast().trimmed();
}

QString whyItFailed(QProcess& opener)
{
    if (opener.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("%1 ended abnormally").arg(opener.program());
    const QString said = lastLine(opener.readAllStandardError());
    return QStringLiteral("%1 ended with exit code %2%3")
        .arg(opener.program())
        .arg(opener.exitCode())
        .arg(said.isEmpty() ? QString() : QStringLiteral(" (\"%1\")").arg(said));
}

}  // namespace

QString DesktopOpener::program()
{
    return testProgram().isEmpty() ? QStringLiteral("xdg-open") : testProgram();
}

void DesktopOpener::setProgramForTesting(const QString& program)
{
    testProgram() = program;
}

int DesktopOpener::running()
{
    return runningCount();
}

// The process has no owner: it deletes itself when the opener ends, and is never killed.
bool DesktopOpener::open(const QString& path, Failure failed)
{
    auto* opener = new QProcess;
    opener->setProgram(program());
    opener->setArguments({path});
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->start();
    if (!opener->waitForStarted()) {
        delete opener;
        return false;
    }
    ++runningCount();
    QObject::connect(opener, &QProcess::finished, opener, [opener, failed = std::move(failed)] {
        --runningCount();
        if ((opener->exitStatus() != QProcess::NormalExit || opener->exitCode() != 0) && failed)
            failed(whyItFailed(*opener));
        opener->deleteLater();
    });
    return true;
}

}  // namespace clipforge
