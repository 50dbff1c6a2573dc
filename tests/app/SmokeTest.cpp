#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

int field(const QString& info, const char* name)
{
    const QRegularExpression pattern(QString::fromLatin1(name) + QStringLiteral(":\\s*(-?\\d+)"));
    return pattern.match(info).captured(1).toInt();
}

}  // namespace

// The real executable on a virtual display: splash, then the main window, then a clean end.
TEST(Smoke, ProgramStartsShowsItsWindowAndEndsCleanly)
{
    for (const char* tool : {"xvfb-run", "xwininfo", "import"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    QTemporaryDir out;
    const QString program = qEnvironmentVariable("CLIPFORGE_APP_DIR") + QStringLiteral("/clipforge");
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the real windowing system this time
    // A window of its own, not handed to one some other run has open.
    QTemporaryDir runtime;
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    // Nothing remembered (where the window was left, say) by whoever runs the tests, and nothing
    // remembered for them.
    QTemporaryDir configuration;
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configuration.path());
    run.setProcessEnvironment(environment);
    run.start(QStringLiteral("xvfb-run"), {QStringLiteral("-a"), QStringLiteral("-s"),
                                           QStringLiteral("-screen 0 1280x800x24"), QStringLiteral("sh"),
                                           QStringLiteral(CLIPFORGE_SMOKE_SCRIPT), program, out.path()});
    ASSERT_TRUE(run.waitForFinished(120000));

    const QString window = readText(out.filePath(QStringLiteral("main-window.txt")));
    ASSERT_FALSE(window.isEmpty()) << "no main window appeared; log:\n"
                                   << readText(out.filePath(QStringLiteral("program.log"))).toStdString();
    EXPECT_TRUE(window.contains(QStringLiteral("\"Norvane Clipforge\"")));
    EXPECT_EQ(field(window, "Width"), 861);
    EXPECT_EQ(field(window, "Height"), 529);
    EXPECT_TRUE(QFile::exists(out.filePath(QStringLiteral("splash-seen"))));
    EXPECT_FALSE(readText(out.filePath(QStringLiteral("windows.txt"))).contains(QStringLiteral("\"SplashDlg")))
        << "the splash is gone once the main window shows";
    EXPECT_EQ(readText(out.filePath(QStringLiteral("exit-code"))).trimmed(), QStringLiteral("0"));

    const QImage screen(out.filePath(QStringLiteral("screen.png")));
    ASSERT_FALSE(screen.isNull());
    const QRect area(field(window, "Absolute upper-left X"), field(window, "Absolute upper-left Y"), 861, 529);
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 3)
        for (int x = area.left(); x <= area.right(); x += 3)
            colours.insert(screen.pixel(x, y));
    EXPECT_GT(colours.size(), 100) << "the window is painted, not blank";
}
