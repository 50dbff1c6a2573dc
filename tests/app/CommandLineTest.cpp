#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Answers that need no window come without a display; without one, the window's start says why.
TEST(CommandLine, HelpAndVersionNeedNoDisplay)
{
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {{QStringLiteral("--help")}, 0, "Usage: clipforge [FILE|FOLDER]...", ""},
        {{QStringLiteral("--version")}, 0, "clipforge (Norvane Clipforge) 0.", ""},
        {{QStringLiteral("--"), QStringLiteral("--help")}, 1, "", "clipforge: no display to show the window on"},
    };
    for (const Case& c : cases) {
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        run.setProcessEnvironment(environment);
        run.start(qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/clipforge"), c.arguments);
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString joined = c.arguments.join(QLatin1Char(' '));
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << joined.toStdString();
        EXPECT_EQ(run.exitCode(), c.exitCode) << joined.toStdString();
        const QByteArray out = run.readAllStandardOutput();
        const QByteArray err = run.readAllStandardError();
        EXPECT_TRUE(out.startsWith(c.out)) << joined.toStdString() << ": " << out.toStdString();
        EXPECT_TRUE(err.startsWith(c.err)) << joined.toStdString() << ": " << err.toStdString();
    }
}

}  // namespace
