// Several jobs at once from the window: the worker pool's run shown as the one-job run is.
#include "AppFixture.h"

#include "app/ClockText.h"
#include "app/ConversionsAtOnceMenu.h"
#include "app/PooledRun.h"
#include "app/UIHook.h"
#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "core/TreeManager.h"
#include "dialogs/UserSettings.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Sources of the test's own, all named clip.avi: the converter's "go" files land beside them.
QStringList copiedClips(AppFixture& app, const QStringList& folders, const QString& clip = generatedClips().first())
{
    QStringList copies;
    for (const QString& folder : folders) {
        QDir().mkpath(app.workFolder() + folder);
        copies << app.workFolder() + folder + QStringLiteral("/clip.avi");
        QFile::copy(clip, copies.back());
    }
    return copies;
}

QString threeSecondClip(AppFixture& app)
{
    const QString clip = app.workFolder() + QStringLiteral("three.avi");
    QProcess::execute(QStringLiteral("ffmpeg"),
                      {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                       QStringLiteral("-i"), QStringLiteral("testsrc=size=96x64:rate=10:duration=3"),
                       QStringLiteral("-c:v"), QStringLiteral("mpeg4"), clip});
    return clip;
}

QString outputFolder(AppFixture& app)
{
    const QString folder = app.workFolder() + QStringLiteral("out");
    QDir().mkpath(folder);
    return folder;
}

bool idle(AppFixture& app)
{
    return !app.window().btnStop->Enabled() && !app.hook().Pooled()->active();
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

TEST(SeveralAtOnce, TwoJobsStartTogetherAndBothFinishUnderNamesOfTheirOwn)
{
    AppFixture app(AppFixture::Converter::Paced);
    clipforge::UserSettings::rememberJobsAtOnce(2);
    const QString out = outputFolder(app);
    // Both sources are named clip.avi: two running jobs must not share an output name.
    app.addJobs(copiedClips(app, {QStringLiteral("a"), QStringLiteral("b")}), app.profileWithExtension("mp4"), out);
    TTreeManager& jobs = *app.hook().TreeManager();
    click(app.window().btnConvert);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(jobs.Job(row).State, jsConverting) << row;
        EXPECT_TRUE(jobs.Job(row).ItemData.Busy) << row;
    }
    EXPECT_FALSE(app.hook().ListChangesAllowed());
    app.window().pmiClear->trigger();
    EXPECT_EQ(jobs.Count(), 2) << "the list is locked while the jobs run";

    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_EQ(app.dialogs.messages[0].text, QStringLiteral("Congratulations, works done!"));
    EXPECT_EQ(folderEntries(out), (QStringList {QStringLiteral("clip.mp4"), QStringLiteral("clip_2.mp4")}));
    QStringList outputs;
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(jobs.Job(row).State, jsFinished) << row;
        EXPECT_FALSE(jobs.Job(row).ItemData.Busy) << row;
        outputs << QFileInfo(app.hint(row).value(3).section(QLatin1Char(' '), 1, 1)).fileName();
    }
    outputs.sort();
    EXPECT_EQ(outputs, folderEntries(out)) << "each hint names its own output";
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("2 files, finished 2 of 2"));
    EXPECT_EQ(app.window().ProgressBar1->Position(), 100);
    EXPECT_TRUE(idle(app));
}

TEST(SeveralAtOnce, StopEndsEveryRunningJobAndLeavesNothingBehind)
{
    AppFixture app(AppFixture::Converter::Paced);
    clipforge::UserSettings::rememberJobsAtOnce(2);
    const QString out = outputFolder(app);
    app.addJobs(copiedClips(app, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}),
                app.profileWithExtension("mp4"), out);
    TTreeManager& jobs = *app.hook().TreeManager();
    click(app.window().btnConvert);
    click(app.window().btnStop);
    ASSERT_TRUE(waitFor([&] { return idle(app); }));
    EXPECT_EQ(jobs.Job(0).State, jsFailed);
    EXPECT_EQ(jobs.Job(1).State, jsFailed);
    EXPECT_EQ(jobs.Job(2).State, jsWaiting) << "no job starts after Stop";
    EXPECT_EQ(app.hint(0).value(3), QStringLiteral("[error]: stopped"));
    EXPECT_EQ(folderEntries(out), QStringList()) << "no output and no private folder is left";
    EXPECT_TRUE(app.dialogs.messages.empty()) << "a run stopped before its last job ends quietly";
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("3 files, finished 2 of 3"));

    // Stopping the run's last jobs ends it with its count, as it does one at a time.
    jobs.SetState(2, jsFinished);
    app.dialogs.choiceAnswers.push_back(0);  // skip the finished one
    click(app.window().btnConvert);
    click(app.window().btnStop);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_EQ(app.dialogs.messages[0].text,
              QStringLiteral("0 files converted, 2 failed.\nHover over a failed file to see why."));
    EXPECT_EQ(jobs.Job(2).State, jsFinished) << "the skipped job was not converted";
    EXPECT_EQ(folderEntries(out), QStringList());
}

TEST(SeveralAtOnce, EachRunningJobShowsHowFarItHasGotAndTheBarTheWholeQueue)
{
    AppFixture app(AppFixture::Converter::Halfway);
    clipforge::UserSettings::rememberJobsAtOnce(2);
    const QStringList sources = copiedClips(app, {QStringLiteral("a"), QStringLiteral("b")});
    app.addJobs(sources, 0, outputFolder(app));
    clipforge::PooledRun& run = *app.hook().Pooled();
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] {
        const clipforge::QueueTimes times = run.queueTimes();
        return times.running.size() == 2u && times.running[0].percent == 50 && times.running[1].percent == 50;
    }));
    // The clock's tick is what shows progress; calling it here keeps the test off the clock.
    const std::int64_t seconds = run.elapsedSeconds();
    run.tick();
    EXPECT_EQ(app.window().lbTimer->text(), clipforge::clockText(seconds + 1));
    const QString left = QStringLiteral("about 00:00:02 left for the queue");
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(app.hint(row).value(3), QStringLiteral("[progress]: 50%, about 00:00:02 left")) << row;
    EXPECT_EQ(app.window().ProgressBar1->Position(), 50);
    EXPECT_EQ(app.window().ProgressBar1->toolTip(), left);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(app.window().ProgressBar1)->text(QAccessible::Description), left);

    for (const QString& source : sources)
        QFile(source + QStringLiteral(".go")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_TRUE(app.window().ProgressBar1->toolTip().isEmpty()) << "the estimate goes with the run";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(app.window().ProgressBar1)->text(QAccessible::Description),
              QStringLiteral("100%"));
}

TEST(SeveralAtOnce, OutputsAreCheckedAsTheSettingSays)
{
    AppFixture app(AppFixture::Converter::Early, "<commands><profile><format>Check</format>"
                                                 "<params>-c:v mpeg4</params><ext>mkv</ext></profile></commands>");
    app.chooseOutputCheck("streams");
    clipforge::UserSettings::rememberJobsAtOnce(2);
    app.addJobs(copiedClips(app, {QStringLiteral("a"), QStringLiteral("b")}, threeSecondClip(app)), 0,
                outputFolder(app));
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_EQ(app.hook().TreeManager()->Job(0).State, jsFailed);
    EXPECT_EQ(app.hook().TreeManager()->Job(1).State, jsFailed);
    EXPECT_EQ(app.hint(1).value(3), QStringLiteral("[error]: the output's video plays 1.0 s of the source's 3.0 s"));
}

TEST(SeveralAtOnce, TheJobMenuKeepsTheChoiceForTheNextConvert)
{
    AppFixture app(AppFixture::Converter::Succeeding);
    QMenu& menu = *app.window().pmConversionsAtOnce;
    ASSERT_EQ(menu.actions().size(), clipforge::ConversionsAtOnceMenu::mostAtOnce());
    EXPECT_EQ(app.window().pmiConversionsAtOnce->statusTip(), QStringLiteral("converts 1 job at a time"));
    menu.actions()[1]->trigger();
    EXPECT_EQ(clipforge::UserSettings::jobsAtOnce(), 2);
    EXPECT_TRUE(menu.actions()[1]->isChecked());
    EXPECT_EQ(app.window().pmiConversionsAtOnce->statusTip(), QStringLiteral("converts 2 jobs at a time"));
    EXPECT_TRUE(readBytes(clipforge::UserSettings::filePath()).contains("jobsAtOnce=2"));
}
