// The job list for everyday work: where outputs went, finished jobs removed, jobs moved and
// selected together, choices remembered, and no list replaced without asking.
#include "AppFixture.h"

#include "app/JobMenu.h"
#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "controls/FlatEdit.h"
#include "controls/ImageButton.h"
#include "controls/MyButtonEx.h"
#include "controls/MyFlatComboBox.h"
#include "core/CommandManager.h"
#include "core/TreeManager.h"
#include "dialogs/AddDlg.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList fileNames(const TTreeManager& jobs)
{
    QStringList names;
    for (int row = 0; row < jobs.Count(); ++row)
        names << QFileInfo(jobs.Job(row).ItemData.FileName).fileName();
    return names;
}

QList<int> selectedRows(clipforge::JobTreeView& tree)
{
    QList<int> rows;
    for (const QModelIndex& index : tree.selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QPoint rowCentre(AppFixture& app, int row)
{
    return app.window().JobTree->visualRect(app.hook().TreeManager()->index(row, 0)).center();
}

// Presses on one row, drags in steps to a point and lets go, as a hand does.
void drag(AppFixture& app, int fromRow, const QPoint& to)
{
    QWidget* viewport = app.window().JobTree->viewport();
    const QPoint from = rowCentre(app, fromRow);
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(viewport, from + (to - from) * step / 4);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
}

void ctrlClick(AppFixture& app, int row)
{
    QTest::mouseClick(app.window().JobTree->viewport(), Qt::LeftButton, Qt::ControlModifier, rowCentre(app, row));
}

// Opens the job menu by a right click on row (or below the rows for -1), as the user does.
QMenu& openMenu(AppFixture& app, int row)
{
    clipforge::JobTreeView& tree = *app.window().JobTree;
    const QPoint at = row >= 0 ? rowCentre(app, row) : QPoint(100, tree.viewport()->height() - 5);
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(tree.viewport(), &request);
    QMenu& menu = *app.window().PopupMenu1;
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 5000));
    return menu;
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
    const QString out = app.workFolder() + QStringLiteral("out put");
    QDir().mkpath(out);
    app.addJobs(generatedClips().mid(0, 1), 0, out);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    const QString ext = QString::fromStdString(app.hook().CommandManager().GetExt(0));
    const QString defaultFolder = app.programFolder() + QStringLiteral("convert/");
    TTreeManager& jobs = *app.hook().TreeManager();
    struct Run {
        QString first;
        QString second;
    };
    // The second run finds the first run's outputs and uses other names: the hint names those.
    const Run runs[] = {
        {out + QStringLiteral("/clip one.") + ext, defaultFolder + QStringLiteral("clip one.") + ext},
        {out + QStringLiteral("/clip one_2.") + ext, defaultFolder + QStringLiteral("clip one_2.") + ext},
    };
    for (const Run& run : runs) {
        convertAll(app);
        const QStringList first = jobs.Hint(0).split(QLatin1Char('\n'));
        ASSERT_EQ(first.size(), 4);
        EXPECT_EQ(first[2], QStringLiteral("[path]: ") + out + QLatin1Char('/')) << "the folder line stays";
        EXPECT_EQ(first[3], QStringLiteral("[output]: %1 (9 bytes)").arg(run.first));
        EXPECT_EQ(jobs.Hint(1).split(QLatin1Char('\n')).value(3), QStringLiteral("[output]: %1 (9 bytes)").arg(run.second));
        EXPECT_TRUE(QFileInfo::exists(run.first));
    }
}

TEST(EverydayJobList, TheMenusNewItemsFollowTheCaptionsOfTheOthersAndAreEnabledWhenUsable)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    TmainDlg& window = app.window();
    QStringList captions;
    for (QAction* action : window.PopupMenu1->actions())
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text() + QLatin1Char('/') + action->statusTip());
    EXPECT_EQ(captions, (QStringList {QStringLiteral("&Delete/delete selected item"), QStringLiteral("&Clear/clear all items"),
                                      QStringLiteral("-"), QStringLiteral("&Properties/show properties"), QStringLiteral("-"),
                                      QStringLiteral("&Open output folder/show where the outputs go"),
                                      QStringLiteral("&Remove finished jobs/remove the converted items")}));

    const QString gone = app.workFolder() + QStringLiteral("gone");
    QDir().mkpath(gone);
    app.addJobs(generatedClips().mid(0, 1), 0, gone);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    QDir(gone).removeRecursively();
    struct Case {
        const char* situation;
        int row;
        bool open;
        bool remove;
    };
    const Case beforeRun[] = {
        {"no job", -1, true, false},
        {"a job whose folder has gone", 0, false, false},
        {"a job writing to the default folder", 1, true, false},
    };
    for (const Case& c : beforeRun) {
        QMenu& menu = openMenu(app, c.row);
        EXPECT_EQ(window.pmiOpenFolder->isEnabled(), c.open) << c.situation;
        EXPECT_EQ(window.pmiRemoveFinished->isEnabled(), c.remove) << c.situation;
        menu.close();
    }
    convertAll(app);
    QMenu& menu = openMenu(app, 1);
    EXPECT_TRUE(window.pmiRemoveFinished->isEnabled()) << "one job finished";
    menu.close();
}

TEST(EverydayJobList, OpenOutputFolderOpensTheJobsFolderOrTheDefaultOne)
{
    AppFixture app;
    const QString own = app.workFolder() + QStringLiteral("own folder");
    QDir().mkpath(own);
    app.addJobs(generatedClips().mid(0, 1), 0, own);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    const QString defaultFolder = app.programFolder() + QStringLiteral("convert/");
    const std::pair<int, QString> cases[] = {{-1, defaultFolder}, {0, own + QLatin1Char('/')}, {1, defaultFolder}};
    for (const auto& [row, folder] : cases) {
        QMenu& menu = openMenu(app, row);
        QTest::keyClick(&menu, Qt::Key_O);  // its accelerator letter
        ASSERT_FALSE(app.dialogs.openedUrls.empty()) << row;
        EXPECT_EQ(app.dialogs.openedUrls.back().toString(), QUrl::fromLocalFile(folder).toString()) << row;
    }
    EXPECT_EQ(app.dialogs.openedUrls.size(), 3u);
}

TEST(EverydayJobList, RemoveFinishedJobsKeepsTheOthersButNotDuringARun)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    app.addJobs(generatedClips().mid(0, 2), 0, QString());
    convertAll(app);
    app.addJobs(generatedClips().mid(2, 1), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    ASSERT_EQ(jobs.Count(), 3);

    QMenu& menu = openMenu(app, 2);
    QTest::keyClick(&menu, Qt::Key_R);
    EXPECT_EQ(fileNames(jobs), QStringList {QFileInfo(generatedClips()[2]).fileName()});
    EXPECT_EQ(jobs.Job(0).State, jsWaiting);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("1 files, finished 0 of 1"));

    // While a run holds the list the item does nothing, even when reached without the menu.
    jobs.SetState(0, jsFinished);
    jobs.SetLocked(true);
    app.hook().JobMenu()->pmiRemoveFinishedClick();
    EXPECT_EQ(jobs.Count(), 1);
    jobs.SetLocked(false);
}

TEST(EverydayJobList, SelectedJobsMoveTogetherByDraggingAndDeleteTogether)
{
    AppFixture app;
    const QStringList clips = generatedClips();
    app.addJobs(clips, 0, QString());
    app.addJobs(clips.mid(0, 1), 1, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    clipforge::JobTreeView& tree = *app.window().JobTree;
    const QString a = QFileInfo(clips[0]).fileName();
    const QString b = QFileInfo(clips[1]).fileName();
    const QString c = QFileInfo(clips[2]).fileName();
    ASSERT_EQ(fileNames(jobs), (QStringList {a, b, c, a}));
    const int fourthFormat = jobs.Job(3).ItemData.Format;

    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rowCentre(app, 0));
    ctrlClick(app, 2);
    EXPECT_EQ(selectedRows(tree), (QList<int> {0, 2}));
    // Dropped on the lower half of the last job: after it.
    drag(app, 2, rowCentre(app, 3) + QPoint(0, 5));
    EXPECT_EQ(fileNames(jobs), (QStringList {b, a, a, c}));
    EXPECT_EQ(jobs.Job(1).ItemData.Format, fourthFormat) << "each job moved with its own settings";
    EXPECT_EQ(selectedRows(tree), (QList<int> {2, 3})) << "the moved jobs stay selected";

    // A single job, not selected before, dragged to the top half of the first row.
    drag(app, 1, rowCentre(app, 0) - QPoint(0, 5));
    EXPECT_EQ(fileNames(jobs), (QStringList {a, b, a, c}));

    // A right click on a job of the selection keeps the selection, and Delete removes them all.
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rowCentre(app, 1));
    ctrlClick(app, 3);
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, rowCentre(app, 3));
    EXPECT_EQ(selectedRows(tree), (QList<int> {1, 3}));
    app.window().pmiDelete->trigger();
    EXPECT_EQ(fileNames(jobs), (QStringList {a, a}));
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("2 files, finished 0 of 2"));
}

TEST(EverydayJobList, AClickWithoutADragSelectsThatJobAlone)
{
    AppFixture app;
    app.addJobs(generatedClips(), 0, QString());
    clipforge::JobTreeView& tree = *app.window().JobTree;
    tree.selectAll();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rowCentre(app, 1));
    EXPECT_EQ(selectedRows(tree), (QList<int> {1}));
    EXPECT_EQ(tree.focusedRow(), 1);
}

TEST(EverydayJobList, NoJobMovesDuringARun)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips(), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    const QStringList before = fileNames(jobs);
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == jsConverting; }));
    drag(app, 0, rowCentre(app, 2) + QPoint(0, 5));
    EXPECT_EQ(fileNames(jobs), before);
    click(app.window().btnStop);
    ASSERT_TRUE(waitFor([&] { return !app.window().btnStop->Enabled(); }));
}

TEST(EverydayJobList, ExportAsksBeforeReplacingTheNameItWillReallyWrite)
{
    AppFixture app;
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    const QString folder = app.workFolder();
    const auto plant = [&](const QString& name) {
        QFile file(folder + name);
        file.open(QIODevice::WriteOnly);
        file.write("old list");
    };
    const auto contents = [&](const QString& name) {
        QFile file(folder + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    plant(QStringLiteral("queue.kxl"));
    plant(QStringLiteral("other"));
    struct Case {
        const char* chosen;
        const char* written;
        bool asked;
        bool answer;
        bool replaced;
    };
    const Case cases[] = {
        {"queue", "queue.kxl", true, false, false},
        {"queue.kxl", "queue.kxl", true, true, true},
        {"other", "other.kxl", false, false, true},  // the name typed exists, the one written does not
    };
    for (const Case& c : cases) {
        app.dialogs.questions.clear();
        app.dialogs.questionAnswers = {c.answer};
        app.dialogs.saveFileNameAnswers.push_back(folder + QString::fromLatin1(c.chosen));
        click(app.window().btnExport);
        ASSERT_EQ(app.dialogs.questions.size(), c.asked ? 1u : 0u) << c.chosen;
        if (c.asked) {
            EXPECT_EQ(app.dialogs.questions[0],
                      folder + QString::fromLatin1(c.written) + QStringLiteral(" already exists.\nDo you want to replace it?"));
        }
        EXPECT_EQ(contents(QString::fromLatin1(c.written)).startsWith("<"), c.replaced) << c.chosen;
    }
    EXPECT_EQ(contents(QStringLiteral("other")), QByteArray("old list"));
}

TEST(EverydayJobList, AddFilesOffersTheLastProfileAndFolderAndEachFileDialogItsLastFolder)
{
    AppFixture app;
    const QString out = app.workFolder() + QStringLiteral("out");
    QDir().mkpath(out);
    const QString clipsFolder = QFileInfo(generatedClips()[0]).absolutePath();
    app.addJobs(generatedClips().mid(0, 1), 2, out);

    QStringList offered;
    int offeredProfile = -1;
    app.dialogs.openFileNamesAnswers.push_back(generatedClips().mid(1, 1));
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) {
        auto& add = dynamic_cast<TaddDlg&>(dialog);
        offeredProfile = add.ComboBox1->currentIndex();
        offered = add.lines();
        click(add.btnCancel);
    });
    click(app.window().btnAdd);
    EXPECT_EQ(offeredProfile, 2);
    ASSERT_EQ(offered.size(), 5);
    EXPECT_EQ(offered[1], QStringLiteral("format: ") + app.hook().CommandManager().Names()[2].c_str());
    EXPECT_EQ(offered[2], QStringLiteral("save to: ") + out + QLatin1Char('/'));

    app.dialogs.saveFileNameAnswers.push_back(app.workFolder() + QStringLiteral("lists/q"));
    QDir().mkpath(app.workFolder() + QStringLiteral("lists"));
    click(app.window().btnExport);
    click(app.window().btnExport);
    click(app.window().btnImport);
    click(app.window().btnAdd);
    const std::vector<QString> started(app.dialogs.startFolders.end() - 4, app.dialogs.startFolders.end());
    EXPECT_EQ(started, (std::vector<QString> {QString(), app.workFolder() + QStringLiteral("lists"), QString(), clipsFolder}))
        << "Export, Export again, Import, Add";
}
