#include <QProcess>

#include <gtest/gtest.h>

// Answers that need no window come without a display; a window's start says why it cannot come.
TEST(CommandLine, HelpAndVersionNeedNoDisplay)
{
    const std::tuple<QStringList, int, QByteArray> cases[] = {
        {{QStringLiteral("--help")}, 0, "Usage: clipforge [FILE|FOLDER]..."},
        {{QStringLiteral("--version")}, 0, "clipforge (Norvane Clipforge) 0."},
        {{QStringLiteral("--"), QStringLiteral("--help")}, 1, "clipforge: no display to show the window on"},
    };
    for (const auto& [arguments, exitCode, answer] : cases) {
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        run.setProcessEnvironment(environment);
        run.start(qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/clipforge"), arguments);
        ASSERT_TRUE(run.waitForFinished(60000));
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << answer.toStdString();
        EXPECT_EQ(run.exitCode(), exitCode) << answer.toStdString();
        EXPECT_TRUE((exitCode == 0 ? run.readAllStandardOutput() : run.readAllStandardError()).startsWith(answer));
    }
}
