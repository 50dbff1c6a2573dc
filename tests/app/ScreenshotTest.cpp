// Pictures of the real windows for the documentation; run by hand:
//   CLIPFORGE_SHOTS=docs xvfb-run app_tests --gtest_also_run_disabled_tests --gtest_filter='Screenshot*'
#include "AppFixture.h"

#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "controls/ImageButton.h"
#include "controls/MyButtonEx.h"
#include "controls/PngSpeedButton.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString shotPath(const char* name)
{
    return QDir(qEnvironmentVariable("CLIPFORGE_SHOTS", QStringLiteral("."))).filePath(QString::fromLatin1(name));
}

QStringList longClips(const QString& folder)
{
    QStringList clips;
    for (const char* name : {"holiday.mpg", "birthday party.avi", "concert.mov", "interview.mp4"}) {
        const QString path = folder + QString::fromLatin1(name);
        QProcess::execute(QStringLiteral("ffmpeg"),
                          {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("testsrc=size=640x360:rate=25:duration=20"), QStringLiteral("-f"),
                           QStringLiteral("lavfi"), QStringLiteral("-i"),
                           QStringLiteral("sine=frequency=440:duration=20"), QStringLiteral("-shortest"),
                           QStringLiteral("-q:v"), QStringLiteral("2"), path});
        clips << path;
    }
    return clips;
}

}  // namespace

TEST(Screenshot, DISABLED_MainWindowDuringARun)
{
    AppFixture app;
    // A folder name a person would have, not a random one.
    QDir videos(QDir::temp().filePath(QStringLiteral("Videos")));
    videos.mkpath(QStringLiteral("."));
    const QStringList clips = longClips(videos.path() + QLatin1Char('/'));
    QImage addDialog;
    app.dialogs.openFileNamesAnswers.push_back(clips);
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) {
        auto& add = dynamic_cast<TaddDlg&>(dialog);
        add.ComboBox1->setCurrentIndex(1);
        add.ComboBox1Change();
        QTest::qWait(200);
        addDialog = add.grab().toImage();
        click(add.btnOk);
    });
    click(app.window().btnAdd);
    addDialog.save(shotPath("add-files-dialog.png"));

    TTreeManager& jobs = *app.hook().TreeManager();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(1).State == 1 && jobs.Job(1).ItemData.Frame >= 2; }, 120000));
    QTest::qWait(100);
    app.window().grab().save(shotPath("main-window-running.png"));
    click(app.window().btnStop);
    waitFor([&] { return !app.window().btnStop->Enabled(); });
    videos.removeRecursively();
}

// The hint of a finished job, which names its output, and the whole job menu.
TEST(Screenshot, DISABLED_JobHintAndMenu)
{
    AppFixture app;
    app.addJobs(generatedClips(), 1, app.workFolder());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    clipforge::JobTreeView& tree = *app.window().JobTree;
    const QPoint row = tree.visualRect(app.hook().TreeManager()->index(1, 0)).center();
    QTest::mouseMove(tree.viewport(), row);
    QTest::qWait(1500);
    QGuiApplication::primaryScreen()->grabWindow(0).save(shotPath("job-hint.png"));
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, row);
    QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, row, tree.viewport()->mapToGlobal(row));
    QCoreApplication::sendEvent(tree.viewport(), &menuRequest);
    QTest::qWait(500);
    QGuiApplication::primaryScreen()->grabWindow(0).save(shotPath("job-menu.png"));
    app.window().PopupMenu1->close();
}

// The Add Files window where it opens on the screen: run with QT_SCALE_FACTOR=1.5 on a
// 1280x800 screen to see it give up height and keep OK and Cancel on the screen.
TEST(Screenshot, DISABLED_AddFilesOnTheScreen)
{
    AppFixture app;
    app.dialogs.openFileNamesAnswers.push_back(generatedClips());
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QGuiApplication::primaryScreen()->grabWindow(0).save(shotPath("add-files-on-screen.png"));
        dialog.reject();
    });
    click(app.window().btnAdd);
}
