// The window checks outputs as clipforge.conf says: a converter that stops after the first
// second of a three-second clip and exits 0 is refused, warned about or let through.
#include "AppFixture.h"

#include "app/UIHook.h"
#include "controls/GradientProgressBar.h"
#include "core/TreeManager.h"
#include "engine/PacketReader.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QByteArray Catalogue = "<commands><profile><format>Check</format>"
                             "<params>-c:v mpeg4 -c:a mp2</params><ext>mkv</ext></profile></commands>";
const QString Short = QStringLiteral("the output's video plays 1.0 s of the source's 3.0 s; "
                                     "the output's sound plays 1.0 s of the source's 3.0 s");

QString threeSecondClip(const QString& folder)
{
    const QString clip = folder + QStringLiteral("clip.mkv");
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("testsrc=size=96x64:rate=10:duration=3"),
                       QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                       QStringLiteral("sine=duration=3"), QStringLiteral("-shortest"), QStringLiteral("-c:v"),
                       QStringLiteral("mpeg4"), QStringLiteral("-c:a"), QStringLiteral("mp2"), clip});
    return clip;
}

TEST(CheckedOutputWindow, TheSettingDecidesWhatAShortOutputBecomes)
{
    const struct {
        const char* mode;
        int state;
        QString lastHintLine;
    } cases[] = {
        {"off", jsFinished, QString()},
        {"streams", jsFailed, QStringLiteral("[error]: ") + Short},
        {"warn", jsFinished, QStringLiteral("[warning]: ") + Short},
        {"no such mode", jsFailed, QStringLiteral("[error]: ") + Short},
    };
    for (const auto& test : cases) {
        AppFixture app(AppFixture::Converter::Early, Catalogue);
        app.chooseOutputCheck(test.mode);
        app.addJobs({threeSecondClip(app.workFolder())}, 0, app.workFolder());
        click(app.window().btnConvert);
        ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); })) << test.mode;
        const TTreeManager& jobs = *app.hook().TreeManager();
        EXPECT_EQ(jobs.Job(0).State, test.state) << test.mode;
        const QStringList hint = app.hint(0);
        if (!test.lastHintLine.isEmpty())
            EXPECT_EQ(hint.last(), test.lastHintLine) << test.mode;
        else
            EXPECT_TRUE(hint.last().startsWith(QStringLiteral("[output]: "))) << test.mode;
    }
}

TEST(CheckedOutputWindow, WhileTheOutputIsCheckedTheJobStaysConvertingAtTheEndOfItsBar)
{
    AppFixture app(AppFixture::Converter::Real, Catalogue);
    // A reader that answers only once the test lets it.
    const QString go = app.workFolder() + QStringLiteral("go");
    const QString reader = app.workFolder() + QStringLiteral("held-reader");
    writeBytes(reader, QStringLiteral("#!/bin/sh\nwhile [ ! -e '%1' ]; do sleep 0.02; done\nexec '%2/clipforge-packets'\n")
                           .arg(go, qEnvironmentVariable("CLIPFORGE_APP_DIR"))
                           .toLocal8Bit());
    QFile::setPermissions(reader, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    clipforge::PacketReader::setDefaultHelper(reader.toStdString());
    app.addJobs({threeSecondClip(app.workFolder())}, 0, app.workFolder());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hint(0).last() == QStringLiteral("[progress]: checking the output"); }));
    EXPECT_EQ(app.hook().TreeManager()->Job(0).State, jsConverting);
    EXPECT_EQ(app.window().ProgressBar1->Position(), 100);
    EXPECT_TRUE(app.dialogs.messages.empty());
    writeBytes(go, "");
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_EQ(app.hook().TreeManager()->Job(0).State, jsFinished);
}

}  // namespace
