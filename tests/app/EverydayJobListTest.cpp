// The job list for everyday work: where outputs went, finished jobs removed, jobs moved and
// selected together, choices remembered, and no list replaced without asking.
#include "AppFixture.h"

#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "controls/MyButtonEx.h"
#include "core/CommandManager.h"
#include "core/SizeText.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Opens the job menu by a right click on row (below the jobs for -1), as the user does.
QMenu& openMenu(AppFixture& app, int row)
{
    QWidget* viewport = app.window().JobTree->viewport();
    const QPoint at = row >= 0 ? app.rowCentre(row) : QPoint(100, viewport->height() - 5);
    QTest::mouseClick(viewport, Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &request);
    return *app.window().PopupMenu1;
}

void convertAll(AppFixture& app)
{
    const size_t before = app.dialogs.messages.size();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.dialogs.messages.size() > before; }));
}

}  // namespace

TEST(EverydayJobList, AFinishedJobsHintSaysWhereItsOutputWentAndHowBig)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    app.chooseOutputCheck("off");
    const QString out = app.workFolder() + QStringLiteral("out put/");
    QDir().mkpath(out);
    app.addJobs(generatedClips().mid(0, 1), 0, out);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    const QString ext = QString::fromStdString(app.hook().CommandManager().GetExt(0));
    const QString convert = app.programFolder() + QStringLiteral("convert/");
    // The second run finds the first run's outputs and uses other names: the hint names those.
    for (const QString& name : {QStringLiteral("clip one."), QStringLiteral("clip one_2.")}) {
        convertAll(app);
        EXPECT_EQ(app.hint(0).mid(2),
                  (QStringList {QStringLiteral("[path]: ") + out, QStringLiteral("[output]: %1 (9 bytes)").arg(out + name + ext)}));
        EXPECT_EQ(app.hint(1).value(3), QStringLiteral("[output]: %1 (9 bytes)").arg(convert + name + ext));
    }
}

TEST(EverydayJobList, TheMenusNewItemsOpenTheOutputFolderAndRemoveFinishedJobsWhenUsable)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    app.chooseOutputCheck("off");
    TmainDlg& window = app.window();
    EXPECT_EQ(window.PopupMenu1->actions().mid(4, 3), (QList<QAction*> {window.PopupMenu1->actions()[4], window.pmiOpenFolder, window.pmiRemoveFinished}));
    EXPECT_TRUE(window.PopupMenu1->actions()[4]->isSeparator());
    EXPECT_EQ(window.pmiOpenFolder->text() + window.pmiOpenFolder->statusTip(), QStringLiteral("&Open output foldershow where the outputs go"));
    EXPECT_EQ(window.pmiRemoveFinished->text() + window.pmiRemoveFinished->statusTip(), QStringLiteral("&Remove finished jobsremove the converted items"));

    const QString own = app.workFolder() + QStringLiteral("own/");
    QDir().mkpath(own);
    app.addJobs(generatedClips().mid(0, 1), 0, own);
    app.addJobs(generatedClips().mid(1, 1), 0, app.workFolder() + QStringLiteral("gone"));
    QDir(app.workFolder() + QStringLiteral("gone")).removeRecursively();
    const QString convert = app.programFolder() + QStringLiteral("convert/");
    struct Case {
        int row;  // -1: below the jobs
        bool converted;
        const char* opens;  // nullptr: Open output folder is disabled
        bool removable;
    };
    const Case cases[] = {{-1, false, "convert", false}, {0, false, "own", false}, {1, false, nullptr, false},
                          {0, true, "own", true}};
    for (const Case& c : cases) {
        if (c.converted)
            convertAll(app);
        QMenu& menu = openMenu(app, c.row);
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 5000));
        EXPECT_EQ(window.pmiOpenFolder->isEnabled(), c.opens != nullptr) << c.row;
        EXPECT_EQ(window.pmiRemoveFinished->isEnabled(), c.removable) << c.row;
        const size_t opened = app.dialogs.openedUrls.size();
        QTest::keyClick(&menu, Qt::Key_O);  // the item's accelerator letter
        if (c.opens)
            EXPECT_EQ(app.dialogs.openedUrls.back(), QUrl::fromLocalFile(c.row == 0 ? own : convert)) << c.row;
        else
            EXPECT_EQ(app.dialogs.openedUrls.size(), opened) << c.row;
        menu.close();
    }
    app.dialogs.openUrlWorks = false;
    const size_t told = app.dialogs.messages.size();
    QTest::keyClick(&openMenu(app, 0), Qt::Key_O);
    ASSERT_EQ(app.dialogs.messages.size(), told + 1) << "without a program to open folders, a message says so";
    const QString message = app.dialogs.messages.back().text;
    EXPECT_TRUE(message.startsWith(QStringLiteral("Could not open ") + own + QStringLiteral(": "))) << message.toStdString();
    // The second job failed (its folder has gone); the finished first one goes.
    QTest::keyClick(&openMenu(app, 1), Qt::Key_R);
    ASSERT_EQ(app.hook().TreeManager()->Count(), 1);
    EXPECT_EQ(app.hook().TreeManager()->Job(0).ItemData.FileName, generatedClips()[1]);
    EXPECT_EQ(window.lbCount->text(), QStringLiteral("1 files, finished 0 of 1"));
}

TEST(EverydayJobList, SelectedJobsMoveTogetherByDraggingWhileTheListIsFreeAndDeleteTogether)
{
    AppFixture app;
    app.addJobs(generatedClips(), 0, QString());  // c, c, -
    app.addJobs(generatedClips().mid(2, 1), 1, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    clipforge::JobTreeView& tree = *app.window().JobTree;
    QWidget* viewport = tree.viewport();
    const auto selected = [&] {
        QList<int> rows;
        for (const QModelIndex& index : tree.selectionModel()->selectedRows())
            rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const auto drag = [&](int from, const QPoint& to) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, app.rowCentre(from));
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(viewport, app.rowCentre(from) + (to - app.rowCentre(from)) * step / 4);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
    };
    QTest::mouseClick(viewport, Qt::LeftButton, {}, app.rowCentre(0));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, app.rowCentre(2));
    jobs.SetLocked(true);  // as a run does
    drag(2, app.rowCentre(3) + QPoint(0, 5));
    EXPECT_EQ(jobs.Job(3).ItemData.Format, 1) << "nothing moves while a run holds the list";
    jobs.SetLocked(false);
    drag(2, app.rowCentre(3) + QPoint(0, 5));  // the lower half of the last job: after it
    EXPECT_EQ(jobs.Job(1).ItemData.Format, 1);
    EXPECT_EQ(selected(), (QList<int> {2, 3})) << "the moved jobs stay selected";
    drag(1, app.rowCentre(0) - QPoint(0, 5));  // one job, not selected before, to the top
    EXPECT_EQ(jobs.Job(0).ItemData.Format, 1);
    EXPECT_EQ(selected(), (QList<int> {0}));

    tree.selectAll();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, app.rowCentre(1));
    EXPECT_EQ(selected(), (QList<int> {1})) << "a click without a drag selects that job alone";
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, app.rowCentre(3));
    QTest::mouseClick(viewport, Qt::RightButton, {}, app.rowCentre(3));
    EXPECT_EQ(selected(), (QList<int> {1, 3})) << "a right click keeps the selection";
    app.window().pmiDelete->trigger();
    EXPECT_EQ(jobs.Count(), 2);
    EXPECT_EQ(jobs.Job(0).ItemData.Format, 1);
}

TEST(EverydayJobList, ExportAsksBeforeReplacingTheNameItWillReallyWrite)
{
    AppFixture app;
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    const QString folder = app.workFolder();
    for (const char* name : {"queue.kxl", "other"})
        ASSERT_TRUE(writeBytes(folder + QString::fromLatin1(name), "old list"));
    struct Case {
        const char* chosen;
        const char* written;
        bool asked;
        bool answer;
    };
    // The name typed last exists, the one written does not.
    const Case cases[] = {{"queue", "queue.kxl", true, false}, {"queue.kxl", "queue.kxl", true, true},
                          {"other", "other.kxl", false, false}};
    for (const Case& c : cases) {
        app.dialogs.questions.clear();
        app.dialogs.questionAnswers = {c.answer};
        app.dialogs.saveFileNameAnswers.push_back(folder + QString::fromLatin1(c.chosen));
        click(app.window().btnExport);
        const QString written = folder + QString::fromLatin1(c.written);
        EXPECT_EQ(app.dialogs.questions, c.asked ? std::vector<QString> {written + QStringLiteral(" already exists.\nDo you want to replace it?")} : std::vector<QString> {});
        const QByteArray now = readBytes(written);
        EXPECT_EQ(!now.isEmpty() && now != "old list", !c.asked || c.answer) << c.chosen;
    }
}

TEST(EverydayJobList, AddFilesOffersTheLastChoiceAndEachFileDialogItsLastFolder)
{
    AppFixture app;
    const QString out = app.workFolder() + QStringLiteral("out/");
    QDir().mkpath(out);
    app.addJobs(generatedClips().mid(0, 1), 2, out);
    QStringList offered;
    app.dialogs.openFileNamesAnswers.push_back(generatedClips().mid(1, 1));
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) { offered = dynamic_cast<TaddDlg&>(dialog).lines(); });
    click(app.window().btnAdd);
    EXPECT_EQ(offered.mid(1, 2), (QStringList {QStringLiteral("format: ") + QString::fromStdString(app.hook().CommandManager().Names()[2]),
                                              QStringLiteral("save to: ") + out}));

    QDir().mkpath(app.workFolder() + QStringLiteral("lists"));
    app.dialogs.saveFileNameAnswers.push_back(app.workFolder() + QStringLiteral("lists/q"));
    for (TMyButtonEx* button : {app.window().btnExport, app.window().btnExport, app.window().btnImport})
        click(button);
    EXPECT_EQ(app.dialogs.startFolders,
              (std::vector<QString> {QString(), QString(), QFileInfo(generatedClips()[0]).absolutePath(), QString(),
                                     app.workFolder() + QStringLiteral("lists"), QString()}))
        << "Add, browse, Add, Export, Export, Import";
}

TEST(EverydayJobList, TheHintNamesTheOutputUnderTheNameReallyUsed)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    // Someone takes the planned name while the job runs.
    ASSERT_TRUE(writeBytes(app.programFolder() + QStringLiteral("bin/ffmpeg.mode"), "squat"));
    const int mp4 = app.profileWithExtension("mp4");
    const QString out = app.workFolder() + QStringLiteral("out/");
    QDir().mkpath(out);
    app.addJobs(generatedClips().mid(0, 1), mp4, out);
    convertAll(app);
    const QString output = out + QStringLiteral("clip one_2.mp4");
    EXPECT_EQ(app.hint(0).value(3),
              QStringLiteral("[output]: %1 (%2)").arg(output, QString::fromStdString(clipforge::sizeText(QFileInfo(output).size()))));
}
