#include "AppFixture.h"

#include "app/AddDlgOpener.h"

#include "app/JobTreeView.h"
#include "app/UIHook.h"
#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "controls/MyButtonEx.h"
#include "controls/LinePanel.h"
#include "controls/LinkLabel.h"
#include "controls/PngSpeedButton.h"
#include "core/TreeManager.h"
#include "dialogs/FormStyle.h"
#include "dialogs/ItemDlg.h"
#include "engine/Command.h"
#include "support/Processes.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

using clipforge::formstyle::captionBlue;
using clipforge::formstyle::disabledGrey;
using clipforge::formstyle::textColor;
using clipforge::test::processGone;

namespace {

struct JobSnapshot {
    QString fileName;
    int format;
    QString path;
    int state;
    friend bool operator==(const JobSnapshot&, const JobSnapshot&) = default;
};

std::vector<JobSnapshot> snapshot(TTreeManager& jobs)
{
    std::vector<JobSnapshot> all;
    for (int row = 0; row < jobs.Count(); ++row) {
        const TItemNodeData& job = jobs.Job(row);
        all.push_back({job.ItemData.FileName, job.ItemData.Format, job.ItemData.Path, job.State});
    }
    return all;
}

// Every state each row has shown, in order, without repeats.
class StateRecorder {
public:
    explicit StateRecorder(TTreeManager& jobs)
        : jobs_(jobs)
    {
        QObject::connect(&jobs, &QAbstractItemModel::dataChanged, &context_, [this] { record(); });
        record();
    }
    std::vector<std::vector<int>> history;

private:
    void record()
    {
        history.resize(static_cast<size_t>(jobs_.Count()));
        for (int row = 0; row < jobs_.Count(); ++row) {
            auto& states = history[static_cast<size_t>(row)];
            if (states.empty() || states.back() != jobs_.Job(row).State)
                states.push_back(jobs_.Job(row).State);
        }
    }
    TTreeManager& jobs_;
    QObject context_;
};

QStringList probeStreams(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"),
                                            QStringLiteral("-show_entries"), QStringLiteral("stream=codec_type"),
                                            QStringLiteral("-of"), QStringLiteral("csv=p=0"),
                                            QStringLiteral("file:") + path});
    probe.waitForFinished(30000);
    return QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool idleLook(TmainDlg& window)
{
    return window.btnAdd->Enabled() && window.btnConvert->Enabled() && !window.btnStop->Enabled()
        && textColor(*window.lbAdd) == captionBlue && textColor(*window.lbConvert) == captionBlue
        && textColor(*window.lbStop) == disabledGrey;
}

}  // namespace

TEST(MainWindow, StartsIdleWithAnEmptyList)
{
    AppFixture app;
    TmainDlg& window = app.window();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Norvane Clipforge"));
    EXPECT_EQ(window.lbCount->text(), QStringLiteral("0 files finished 0 of 0"));
    EXPECT_EQ(window.lbTimer->text(), QStringLiteral("timestamp: 00:00:00"));
    EXPECT_TRUE(idleLook(window));
    EXPECT_EQ(app.hook().TreeManager()->Count(), 0);
    EXPECT_TRUE(window.JobTree->isVisible());
    EXPECT_FALSE(window.LinePanel2->isVisible());
    EXPECT_FALSE(window.btnOption->isVisible());
    EXPECT_EQ(window.size(), QSize(861, 529));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.JobTree->columnWidth(0), 700);
    EXPECT_EQ(window.JobTree->columnWidth(1), 100);
    EXPECT_TRUE(window.JobTree->isHeaderHidden());

    app.hook().btnOptionClick();
    EXPECT_FALSE(window.JobTree->isVisible());
    EXPECT_TRUE(window.LinePanel2->isVisible());
    // The tab draws itself shifted while pressed; its caption must still click it.
    QTest::mouseClick(window.lbList, Qt::RightButton);
    EXPECT_TRUE(window.JobTree->isVisible());
    EXPECT_FALSE(window.LinePanel2->isVisible());
}

TEST(MainWindow, ConvertsThreeClipsWithTheRealConverter)
{
    const QStringList clips = generatedClips();
    AppFixture app;
    const int mp4 = app.profileWithExtension("mp4");
    ASSERT_GE(mp4, 0) << "the shipped catalogue has an MP4 profile";
    const QString out = app.workFolder() + QStringLiteral("out put");
    QDir().mkpath(out);
    app.addJobs(clips, mp4, out);

    TTreeManager& jobs = *app.hook().TreeManager();
    ASSERT_EQ(jobs.Count(), 3);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("3 files, finished 0 of 3"));
    EXPECT_EQ(jobs.Job(2).ItemData.Path, out + QLatin1Char('/'));
    StateRecorder states(jobs);

    click(app.window().btnConvert);
    EXPECT_FALSE(app.window().btnAdd->Enabled());
    EXPECT_TRUE(app.window().btnStop->Enabled());
    EXPECT_EQ(textColor(*app.window().lbAdd), disabledGrey);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));

    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_EQ(app.dialogs.messages[0].text, QStringLiteral("Congratulations, works done!"));
    EXPECT_EQ(app.dialogs.messages[0].icon, QMessageBox::Information);
    EXPECT_EQ(app.dialogs.messages[0].title, QStringLiteral("Norvane Clipforge"));
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("3 files, finished 3 of 3"));
    EXPECT_EQ(app.window().ProgressBar1->Position(), 100);
    EXPECT_TRUE(idleLook(app.window()));
    for (const auto& history : states.history)
        EXPECT_EQ(history, (std::vector<int> {0, 1, 2}));
    for (const QString& clip : clips) {
        const QString output = out + QLatin1Char('/') + QFileInfo(clip).completeBaseName() + QStringLiteral(".mp4");
        EXPECT_EQ(probeStreams(output), (QStringList {QStringLiteral("video"), QStringLiteral("audio")})) << output.toStdString();
    }
}

TEST(MainWindow, StopOnAnEarlierJobEndsTheRunQuietly)
{
    AppFixture app(AppFixture::Converter::Hanging);
    const QStringList clips = generatedClips();
    app.addJobs(clips, 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == 1; }));

    // While a run is active the list and its files stay as they are.
    const auto before = snapshot(jobs);
    app.window().pmiClear->trigger();
    app.window().pmiDelete->trigger();
    app.dialogs.openFileNameAnswers.push_back(app.workFolder() + QStringLiteral("any.kxl"));
    click(app.window().btnImport);
    click(app.window().btnExport);
    EXPECT_EQ(snapshot(jobs), before);
    EXPECT_TRUE(app.dialogs.filters.size() == 1u) << "neither Import nor Export asked for a file";

    click(app.window().btnStop);
    // Until the run's end is reported, the stopped job must stay where the driver left it.
    app.window().pmiClear->trigger();
    EXPECT_EQ(jobs.Count(), 3);

    ASSERT_TRUE(waitFor([&] { return idleLook(app.window()); }));
    EXPECT_TRUE(app.dialogs.messages.empty());
    EXPECT_EQ(jobs.Job(0).State, 3);
    EXPECT_EQ(jobs.Job(1).State, 0);
    EXPECT_EQ(jobs.Job(2).State, 0);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("3 files, finished 1 of 3"));
}

TEST(MainWindow, TheJobBeingConvertedIsSelectedAndHasTheKeys)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips(), 0, QString());
    clipforge::JobTreeView& tree = *app.window().JobTree;
    TTreeManager& jobs = *app.hook().TreeManager();
    tree.setCurrentIndex(jobs.index(2, 0));
    app.window().btnImport->setFocus();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == 1; }));
    EXPECT_EQ(tree.focusedRow(), 0);
    ASSERT_EQ(tree.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(tree.selectionModel()->selectedRows().front().row(), 0);
    EXPECT_EQ(app.window().focusWidget(), &tree);
    click(app.window().btnStop);
    EXPECT_TRUE(waitFor([&] { return !app.window().btnStop->Enabled(); }));
}

TEST(MainWindow, ClosingDuringARunLeavesNoConverterBehind)
{
    qint64 converter = 0;
    {
        AppFixture app(AppFixture::Converter::Hanging);
        app.addJobs(generatedClips().mid(0, 1), 0, QString());
        click(app.window().btnConvert);
        ASSERT_TRUE(waitFor([&] { return app.hook().TreeManager()->Job(0).State == 1; }));
        // The worker starts the process just after the job is marked.
        waitFor([&] {
            QProcess pgrep;
            pgrep.start(QStringLiteral("pgrep"), {QStringLiteral("-P"), QString::number(QCoreApplication::applicationPid()),
                                                  QStringLiteral("-x"), QStringLiteral("ffmpeg")});
            pgrep.waitForFinished();
            converter = QString::fromLatin1(pgrep.readAllStandardOutput()).trimmed().toLongLong();
            return converter > 0;
        }, 10000);
        ASSERT_GT(converter, 0);
    }
    EXPECT_TRUE(waitFor([&] { return processGone(converter); }, 10000));
}

TEST(MainWindow, ClosingTheWindowDuringARunStopsItAsStopDoesWithoutAMessage)
{
    AppFixture app(AppFixture::Converter::Partial);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    const QDir convert(app.programFolder() + QStringLiteral("convert"));
    const auto written = [&] {
        return convert.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == 1 && !written().isEmpty(); }));
    EXPECT_FALSE(app.window().close()) << "the window waits for the run's end";
    ASSERT_TRUE(waitFor([&] { return !app.window().isVisible(); }));
    EXPECT_TRUE(app.dialogs.messages.empty()) << "no end message while quitting";
    EXPECT_EQ(jobs.Job(0).State, 3);
    EXPECT_TRUE(written().isEmpty()) << written().join(QLatin1Char(' ')).toStdString();
}

TEST(MainWindow, ExportClearImportGivesBackTheSameJobs)
{
    AppFixture app;
    app.addJobs(generatedClips(), 1, app.workFolder());
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    const auto before = snapshot(jobs);
    ASSERT_EQ(before.size(), 4u);

    app.dialogs.saveFileNameAnswers.push_back(app.workFolder() + QStringLiteral("queue"));
    click(app.window().btnExport);
    ASSERT_TRUE(QFileInfo::exists(app.workFolder() + QStringLiteral("queue.kxl")));
    app.window().pmiClear->trigger();
    EXPECT_EQ(jobs.Count(), 0);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("0 files, finished 0 of 0"));
    app.dialogs.openFileNameAnswers.push_back(app.workFolder() + QStringLiteral("queue.kxl"));
    click(app.window().btnImport);
    EXPECT_EQ(snapshot(jobs), before);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("4 files, finished 0 of 4"));

    // An empty list is not exported: no file dialog even opens.
    app.window().pmiClear->trigger();
    const size_t asked = app.dialogs.filters.size();
    click(app.window().btnExport);
    EXPECT_EQ(app.dialogs.filters.size(), asked);
}

TEST(MainWindow, ExportAddsTheListExtensionUnlessItIsExact)
{
    const std::pair<const char*, const char*> cases[] = {
        {"queue", "queue.kxl"}, {"queue.kxl", "queue.kxl"}, {"queue.KXL", "queue.KXL.kxl"},
        {"my.list", "my.list.kxl"}, {"dir.kxl/queue", "dir.kxl/queue.kxl"},
    };
    AppFixture app;
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    QDir().mkpath(app.workFolder() + QStringLiteral("dir.kxl"));
    for (const auto& [chosen, written] : cases) {
        EXPECT_EQ(clipforge::withListExtension(QString::fromLatin1(chosen)), QString::fromLatin1(written));
        app.dialogs.saveFileNameAnswers.push_back(app.workFolder() + QString::fromLatin1(chosen));
        click(app.window().btnExport);
        EXPECT_TRUE(QFileInfo::exists(app.workFolder() + QString::fromLatin1(written))) << written;
    }
}

TEST(MainWindow, AnUnreadableListIsReportedAndTheListKept)
{
    AppFixture app;
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    const QString broken = app.workFolder() + QStringLiteral("broken.kxl");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<list><item>");
    file.close();
    app.dialogs.openFileNameAnswers.push_back(broken);
    click(app.window().btnImport);
    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_EQ(app.dialogs.messages[0].icon, QMessageBox::Critical);
    EXPECT_EQ(app.dialogs.messages[0].title, QStringLiteral("Norvane Clipforge"));
    EXPECT_EQ(app.hook().TreeManager()->Count(), 1);
    EXPECT_TRUE(idleLook(app.window()));
}

TEST(MainWindow, JobMenuOnlyInTheFileColumnWhileIdle)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 2), 0, QString());
    clipforge::JobTreeView& tree = *app.window().JobTree;
    const QPoint fileCell(100, 10);
    const QPoint progressCell(750, 10);
    EXPECT_EQ(tree.popupMenuAt(fileCell), app.window().PopupMenu1);
    EXPECT_EQ(tree.popupMenuAt(progressCell), nullptr);

    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hook().TreeManager()->Job(0).State == 1; }));
    EXPECT_EQ(tree.popupMenuAt(fileCell), nullptr);
    click(app.window().btnStop);
    ASSERT_TRUE(waitFor([&] { return idleLook(app.window()); }));
    EXPECT_EQ(tree.popupMenuAt(fileCell), app.window().PopupMenu1);
}

TEST(MainWindow, RightClickSelectsAndDeleteRemovesThatJob)
{
    AppFixture app;
    app.addJobs(generatedClips(), 0, QString());
    clipforge::JobTreeView& tree = *app.window().JobTree;
    const QRect second = tree.visualRect(app.hook().TreeManager()->index(1, 0));
    QTest::mouseClick(tree.viewport(), Qt::RightButton, {}, second.center());
    EXPECT_EQ(tree.focusedRow(), 1);
    app.window().pmiDelete->trigger();
    TTreeManager& jobs = *app.hook().TreeManager();
    ASSERT_EQ(jobs.Count(), 2);
    EXPECT_EQ(jobs.Job(0).ItemData.FileName, generatedClips()[0]);
    EXPECT_EQ(jobs.Job(1).ItemData.FileName, generatedClips()[2]);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("2 files, finished 0 of 2"));
}

namespace {

void scriptProperties(AppFixture& app, int profile, const QString& folder, QStringList* information)
{
    app.dialogs.directoryAnswers.push_back(folder);
    app.dialogs.modalScripts.push_back([profile, information](QDialog& dialog) {
        auto& item = dynamic_cast<TItemDlg&>(dialog);
        if (information)
            *information = item.lines();
        item.ComboBox1->setCurrentIndex(profile);
        QTest::mouseClick(item.btDirectory, Qt::LeftButton, {}, QPoint(12, 12));
        click(item.btnOk);
    });
}

void doubleClickRow(AppFixture& app, int row)
{
    clipforge::JobTreeView& tree = *app.window().JobTree;
    const QPoint centre = tree.visualRect(app.hook().TreeManager()->index(row, 0)).center();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace

TEST(MainWindow, PropertiesChangeAJobOnlyWhileIdle)
{
    AppFixture app(AppFixture::Converter::Hanging);
    const QStringList clips = generatedClips();
    app.addJobs(clips.mid(0, 1), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();

    QStringList information;
    // A job's output needs its folder: the converter writes in a private folder inside it.
    QDir().mkpath(app.workFolder() + QStringLiteral("elsewhere"));
    scriptProperties(app, 2, app.workFolder() + QStringLiteral("elsewhere"), &information);
    doubleClickRow(app, 0);
    ASSERT_EQ(app.dialogs.modalCount, 2);
    EXPECT_EQ(information, (QStringList {QStringLiteral("file name: clip one.avi"),
                                         QStringLiteral("file size: %1 Bytes").arg(QFileInfo(clips[0]).size())}));
    EXPECT_EQ(jobs.Job(0).ItemData.Format, 2);
    EXPECT_EQ(jobs.Job(0).ItemData.Path, app.workFolder() + QStringLiteral("elsewhere/"));

    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == 1; }));
    scriptProperties(app, 1, QStringLiteral("/tmp"), nullptr);
    app.window().pmiProperties->trigger();
    EXPECT_EQ(app.dialogs.modalCount, 3);
    EXPECT_EQ(jobs.Job(0).ItemData.Format, 2);
    EXPECT_EQ(jobs.Job(0).ItemData.Path, app.workFolder() + QStringLiteral("elsewhere/"));
    click(app.window().btnStop);
    ASSERT_TRUE(waitFor([&] { return idleLook(app.window()); }));
}

TEST(MainWindow, PropertiesOfAMissingSourceReportTheSystemError)
{
    AppFixture app;
    const QString gone = app.workFolder() + QStringLiteral("gone.avi");
    QFile::copy(generatedClips()[0], gone);
    app.addJobs({gone}, 0, QString());
    QFile::remove(gone);
    doubleClickRow(app, 0);
    EXPECT_EQ(app.dialogs.modalCount, 1) << "only the Add Files dialog was shown";
    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_EQ(app.dialogs.messages[0].text, QStringLiteral("System Error.  Code: 2.\r\nNo such file or directory"));
    EXPECT_EQ(app.hook().TreeManager()->Job(0).ItemData.Format, 0);
}

TEST(MainWindow, CaptionsActAsTheirButtons)
{
    AppFixture app;
    QTest::mouseClick(app.window().lbAdd, Qt::RightButton);
    ASSERT_EQ(app.dialogs.filters.size(), 1u);
    EXPECT_EQ(app.dialogs.filters[0], clipforge::videoFilter());
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("0 files, finished 0 of 0"));

    QTest::mouseClick(app.window().lbSupport, Qt::LeftButton);
    QTest::mouseClick(app.window().lbUpdate, Qt::LeftButton);
    ASSERT_EQ(app.dialogs.openedUrls.size(), 2u);
    const QUrl guide = QUrl::fromLocalFile(app.programFolder() + QStringLiteral("help/index.html"));
    EXPECT_EQ(app.dialogs.openedUrls[0], guide) << "Support opens the guide itself";
    QUrl updates = guide;
    updates.setFragment(QStringLiteral("updates"));
    EXPECT_EQ(app.dialogs.openedUrls[1], updates) << "check for updates opens its section";
    // Where nothing can open pages, the message says where the guide is.
    app.dialogs.openUrlWorks = false;
    QTest::mouseClick(app.window().lbSupport, Qt::LeftButton);
    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_TRUE(app.dialogs.messages[0].text.endsWith(QStringLiteral("The user guide is at ") + guide.toLocalFile()));

    // A disabled button withholds its click, through its caption too.
    QTest::mouseClick(app.window().lbStop, Qt::LeftButton);
    EXPECT_TRUE(idleLook(app.window()));
}

TEST(MainWindow, CancelledAddAddsNothing)
{
    AppFixture app;
    app.dialogs.openFileNamesAnswers.push_back(generatedClips());
    click(app.window().btnAdd);  // no script: the Add Files dialog is cancelled
    EXPECT_EQ(app.dialogs.modalCount, 1);
    EXPECT_EQ(app.hook().TreeManager()->Count(), 0);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("0 files, finished 0 of 0"));
    click(app.window().btnConvert);
    EXPECT_TRUE(idleLook(app.window()));
}

TEST(MainWindow, ABrokenCatalogueGivesOneMessageAndAnInertWindow)
{
    AppFixture app(AppFixture::Converter::Real, QByteArray("<profiles><profile><format>x</format>"));
    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_EQ(app.dialogs.messages[0].title, QStringLiteral("Norvane Clipforge"));
    EXPECT_EQ(app.window().hook(), nullptr);
    click(app.window().btnAdd);
    QTest::mouseClick(app.window().lbAdd, Qt::LeftButton);
    EXPECT_TRUE(app.dialogs.filters.empty());
    EXPECT_EQ(app.dialogs.messages.size(), 1u);
}

namespace {

struct ProgressStep {
    int bar;
    QString counter;
    friend bool operator==(const ProgressStep&, const ProgressStep&) = default;
};

void PrintTo(const ProgressStep& step, std::ostream* out)
{
    *out << step.bar << " / " << step.counter.toStdString();
}

// What the window shows each time a job ends.
std::vector<ProgressStep> recordProgress(AppFixture& app, std::vector<ProgressStep>& steps)
{
    TCommand& driver = *app.hook().Command();
    auto shown = driver.OnProgress;
    driver.OnProgress = [&app, &steps, shown](QObject* sender, std::int32_t percent) {
        shown(sender, percent);
        steps.push_back({app.window().ProgressBar1->Position(), app.window().lbCount->text()});
    };
    return steps;
}

}  // namespace

TEST(MainWindow, EveryEndedJobMovesTheBarAndTheCounter)
{
    for (auto converter : {AppFixture::Converter::Succeeding, AppFixture::Converter::Failing}) {
        AppFixture app(converter);
        app.addJobs(generatedClips(), 0, QString());
        app.addJobs(generatedClips().mid(0, 1), 0, QString());
        std::vector<ProgressStep> steps;
        recordProgress(app, steps);
        click(app.window().btnConvert);
        ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
        EXPECT_EQ(steps, (std::vector<ProgressStep> {{25, QStringLiteral("4 files, finished 1 of 4")},
                                                     {50, QStringLiteral("4 files, finished 2 of 4")},
                                                     {75, QStringLiteral("4 files, finished 3 of 4")},
                                                     {100, QStringLiteral("4 files, finished 4 of 4")}}));
        const bool succeeding = converter == AppFixture::Converter::Succeeding;
        for (const auto& job : snapshot(*app.hook().TreeManager()))
            EXPECT_EQ(job.state, succeeding ? 2 : 3);
        EXPECT_EQ(app.dialogs.messages.back().text,
                  succeeding ? QStringLiteral("Congratulations, works done!")
                             : QStringLiteral("0 files converted, 4 failed.\nHover over a failed file to see why."));

        // A second run converts the whole list again; the bar keeps its value until then.
        steps.clear();
        app.dialogs.messages.clear();
        EXPECT_EQ(app.window().ProgressBar1->Position(), 100);
        click(app.window().btnConvert);
        ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
        EXPECT_EQ(steps.size(), 4u);
    }
}

TEST(MainWindow, AMissingConverterIsReportedForEveryJob)
{
    AppFixture app(AppFixture::Converter::Missing);
    app.addJobs(generatedClips().mid(0, 2), 0, QString());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.dialogs.messages.size() == 3u; }));
    // The runner reports a start failure after the run's end, so the order is its business.
    int failures = 0;
    int completions = 0;
    for (const auto& message : app.dialogs.messages) {
        EXPECT_EQ(message.title, QStringLiteral("Norvane Clipforge"));
        if (message.icon == QMessageBox::Critical && message.text.endsWith(QStringLiteral(" doesn't exist.")))
            ++failures;
        if (message.icon == QMessageBox::Warning &&
            message.text == QStringLiteral("0 files converted, 2 failed.\nHover over a failed file to see why."))
            ++completions;
    }
    EXPECT_EQ(failures, 2);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(idleLook(app.window()));
}

TEST(MainWindow, TheClockCountsTheRunsSeconds)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    click(app.window().btnConvert);
    EXPECT_TRUE(waitFor([&] { return app.window().lbTimer->text() == QStringLiteral("timestamp: 00:00:01"); }));
    click(app.window().btnStop);
    ASSERT_TRUE(waitFor([&] { return idleLook(app.window()); }));
    EXPECT_EQ(app.window().lbTimer->text(), QStringLiteral("timestamp: 00:00:01")) << "kept after the run";
}

TEST(MainWindow, PropertiesOfAJobWithAnUnknownProfileShowNoSelection)
{
    AppFixture app;
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    jobs.ChangeJob(0, 99, QString());
    int shownIndex = 0;
    app.dialogs.modalScripts.push_back([&](QDialog& dialog) {
        auto& item = dynamic_cast<TItemDlg&>(dialog);
        shownIndex = item.ComboBox1->currentIndex();
        click(item.btnOk);
    });
    doubleClickRow(app, 0);
    EXPECT_EQ(shownIndex, -1);
    EXPECT_EQ(jobs.Job(0).ItemData.Format, -1);
    EXPECT_EQ(jobs.Job(0).ItemData.Path, QString());
}

namespace {

const QString hoverToSeeWhy = QStringLiteral("\nHover over a failed file to see why.");

}  // namespace

TEST(MainWindow, ARunWithAFailureEndsWithAWarningAndTheFailedJobsHintSaysWhy)
{
    AppFixture app;
    const int mp4 = app.profileWithExtension("mp4");
    ASSERT_GE(mp4, 0);
    const QStringList clips = generatedClips();
    app.addJobs(clips.mid(0, 1), mp4, QString());
    app.addJobs({app.workFolder() + QStringLiteral("gone.avi")}, mp4, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));

    ASSERT_EQ(app.dialogs.messages.size(), 1u);
    EXPECT_EQ(app.dialogs.messages[0].text, QStringLiteral("1 file converted, 1 failed.") + hoverToSeeWhy);
    EXPECT_EQ(app.dialogs.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(app.dialogs.messages[0].title, QStringLiteral("Norvane Clipforge"));
    EXPECT_EQ(jobs.Job(0).State, 2);
    EXPECT_EQ(jobs.Job(1).State, 3);
    EXPECT_EQ(app.hint(0).size(), 4) << "a finished job's fourth line is its output";
    EXPECT_TRUE(app.hint(0).value(3).startsWith(QStringLiteral("[output]: ")));
    EXPECT_EQ(app.hint(1).size(), 4);
    EXPECT_EQ(app.hint(1).value(3),
              QStringLiteral("[error]: ") + app.workFolder() + QStringLiteral("gone.avi: No such file or directory"));
}

TEST(MainWindow, StopOnTheLastJobEndsWithAWarningNotCongratulations)
{
    AppFixture app(AppFixture::Converter::Hanging);
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    TTreeManager& jobs = *app.hook().TreeManager();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return jobs.Job(0).State == 1; }));
    click(app.window().btnStop);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_EQ(app.dialogs.messages[0].icon, QMessageBox::Warning);
    EXPECT_EQ(app.dialogs.messages[0].text, QStringLiteral("0 files converted, 1 failed.") + hoverToSeeWhy);
    EXPECT_EQ(app.hint(0).value(3), QStringLiteral("[error]: stopped"));
}

TEST(MainWindow, TheBarMovesDuringEachJobAndTheConvertingJobsHintSaysHowFar)
{
    AppFixture app(AppFixture::Converter::Halfway);
    app.chooseOutputCheck("off");
    app.addJobs(generatedClips(), 0, QString());
    app.addJobs(generatedClips().mid(0, 1), 0, QString());
    TCommand& driver = *app.hook().Command();
    TTreeManager& jobs = *app.hook().TreeManager();
    ASSERT_EQ(jobs.Count(), 4);
    std::vector<int> bar;
    const auto atEnd = driver.OnProgress;
    driver.OnProgress = [&](QObject* sender, std::int32_t percent) {
        atEnd(sender, percent);
        bar.push_back(app.window().ProgressBar1->Position());
    };
    const auto during = driver.OnJobProgress;
    driver.OnJobProgress = [&](QObject* sender, std::int32_t position) {
        during(sender, position);
        bar.push_back(app.window().ProgressBar1->Position());
    };
    click(app.window().btnConvert);
    for (int row = 0; row < 4; ++row) {
        ASSERT_TRUE(waitFor([&] { return driver.CurrentIndex() == std::uint32_t(row) && driver.CurrentProgress().percent == 50; }));
        // The clock's tick is what shows progress; calling it here keeps the test off the clock.
        driver.Tick();
        EXPECT_EQ(app.window().ProgressBar1->Position(), row * 25 + 12) << "halfway through job " << row;
        EXPECT_EQ(app.hint(row).value(3), QStringLiteral("[progress]: 50%, about 00:00:02 left"));
        for (int other = 0; other < 4; ++other)
            EXPECT_EQ(app.hint(other).size(), other <= row ? 4 : 3) << other;
        for (int finished = 0; finished < row; ++finished)
            EXPECT_TRUE(app.hint(finished).value(3).startsWith(QStringLiteral("[output]: "))) << finished;
        QFile(QString::fromStdString(driver.WritingPath()) + QStringLiteral(".go")).open(QIODevice::WriteOnly);
        ASSERT_TRUE(waitFor([&] { return jobs.Job(row).State == jsFinished; }));
    }
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_EQ(bar, (std::vector<int>{12, 25, 37, 50, 62, 75, 87, 100}));
    EXPECT_EQ(app.hint(3).size(), 4) << "a finished job's hint has its three lines and its output";
    EXPECT_TRUE(app.hint(3).value(3).startsWith(QStringLiteral("[output]: ")));
}
