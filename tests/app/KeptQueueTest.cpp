// The window's queue between sessions: the restore question at start-up, what Yes, No and a file
// that does not read do, a second instance, and a session killed with SIGKILL in the middle of a
// run and started again.
#include "AppFixture.h"

#include "app/KeptQueue.h"
#include "app/UIHook.h"
#include "core/QueueKeeper.h"
#include "core/TreeManager.h"
#include "core/WriterLock.h"
#include "engine/Command.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>

using clipforge::KeptQueue;
using clipforge::QueueStateFiles;

namespace {

// A list file of jobs with the given sources, profile 0 and the given output folder.
QByteArray listOf(const QStringList& sources, const QString& folder = {})
{
    QByteArray items;
    for (const QString& source : sources)
        items += "<item><filename>" + source.toUtf8() + "</filename><format>0</format><path>" + folder.toUtf8() +
                 "</path></item>";
    return "<list>" + items + "</list>";
}

class KeptQueueTest : public ::testing::Test {
protected:
    QString keptPath() const { return QString::fromStdString(files.queue()); }
    TTreeManager& jobs() { return *app.hook().TreeManager(); }

    AppFixture app{AppFixture::Converter::Succeeding};
    QTemporaryDir state;
    QueueStateFiles files{state.path().toStdString() + "/clipforge/"};
};

}  // namespace

TEST_F(KeptQueueTest, YesAppendsTheKeptJobsWaitingBeforeAnythingElseOpens)
{
    writeBytes(keptPath(), listOf({QStringLiteral("/v/a.avi"), QStringLiteral("/v/b.avi")}, QStringLiteral("/out/")));
    app.dialogs.questionAnswers.push_back(true);
    KeptQueue kept(app.window(), files);
    QStringList seenBySettled;
    kept.whenSettled([&] { seenBySettled = app.sources() << QString::number(app.dialogs.questions.size()); });

    ASSERT_TRUE(waitFor([&] { return !seenBySettled.isEmpty(); }));
    EXPECT_EQ(app.dialogs.questions,
              std::vector<QString>{QStringLiteral("The last session left 2 unfinished jobs. Restore them?")});
    EXPECT_EQ(seenBySettled, (QStringList{QStringLiteral("/v/a.avi"), QStringLiteral("/v/b.avi"), QStringLiteral("1")}));
    EXPECT_EQ(jobs().Job(1).ItemData.Path, QStringLiteral("/out/"));
    EXPECT_EQ(jobs().Job(1).State, jsWaiting);
    EXPECT_EQ(app.window().lbCount->text(), QStringLiteral("2 files, finished 0 of 2"));
    EXPECT_TRUE(app.dialogs.messages.empty());
    EXPECT_TRUE(QFile::exists(keptPath())) << "the restored jobs are still unfinished";
}

TEST_F(KeptQueueTest, NoRemovesTheKeptFileAndAddsNothing)
{
    writeBytes(keptPath(), listOf({QStringLiteral("/v/a.avi")}));
    KeptQueue kept(app.window(), files);  // no answer queued: Escape
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.questions.empty(); }));
    EXPECT_EQ(app.dialogs.questions.front(), QStringLiteral("The last session left 1 unfinished job. Restore it?"));
    ASSERT_TRUE(waitFor([&] { return !QFile::exists(keptPath()); }));
    EXPECT_EQ(jobs().Count(), 0);
}

TEST_F(KeptQueueTest, AProgramEndedWhileItAsksKeepsTheFileForTheNextStart)
{
    writeBytes(keptPath(), listOf({QStringLiteral("/v/a.avi")}));
    KeptQueue kept(app.window(), files);
    app.window().close();  // as SIGTERM closes every window, the question's with them
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.questions.empty(); }));
    keepRunningFor(100);
    EXPECT_EQ(readBytes(keptPath()), listOf({QStringLiteral("/v/a.avi")}));
}

TEST_F(KeptQueueTest, AFileThatDoesNotReadIsSetAsideAndNamedNeverRemoved)
{
    writeBytes(keptPath(), "<list><item><filename>/v/a.avi");
    KeptQueue kept(app.window(), files);
    ASSERT_TRUE(waitFor([&] { return !app.dialogs.messages.empty(); }));
    EXPECT_TRUE(app.dialogs.questions.empty());
    const QString aside = keptPath() + QStringLiteral(".broken");
    EXPECT_TRUE(app.dialogs.messages.front().text.contains(aside)) << app.dialogs.messages.front().text.toStdString();
    EXPECT_EQ(app.dialogs.messages.front().icon, QMessageBox::Warning);
    EXPECT_EQ(readBytes(aside), QByteArray("<list><item><filename>/v/a.avi"));

    app.addJobs({QStringLiteral("/v/new.avi")}, 0, QString());
    kept.keeper()->flush();
    EXPECT_TRUE(readBytes(keptPath()).contains("/v/new.avi")) << "the session is kept afresh";
}

TEST_F(KeptQueueTest, AnotherInstanceHoldingTheQueueMeansNoQuestionAndNoWrite)
{
    writeBytes(keptPath(), listOf({QStringLiteral("/v/a.avi")}));
    const auto other = clipforge::WriterLock::tryLock(files.lock());
    ASSERT_TRUE(other.held());
    KeptQueue kept(app.window(), files);
    bool settled = false;
    kept.whenSettled([&] { settled = true; });
    EXPECT_TRUE(settled);
    EXPECT_FALSE(kept.keeper()->keeping());
    app.addJobs({QStringLiteral("/v/new.avi")}, 0, QString());
    keepRunningFor(200);
    EXPECT_TRUE(app.dialogs.questions.empty());
    EXPECT_EQ(readBytes(keptPath()), listOf({QStringLiteral("/v/a.avi")}));
}

// One session of the window in a process of its own, for the test below. Phases: "run" restores
// and converts, its converter hanging on the job named "hang"; "peer" only notes whether it got
// the kept queue; "again" restores, notes what it restored and converts it.
TEST(KeptQueueSession, Child)
{
    const QString phase = qEnvironmentVariable("CLIPFORGE_KEPT_QUEUE_PHASE");
    if (phase.isEmpty())
        GTEST_SKIP() << "run by KeptQueueSession.KilledMidRunAndStartedAgain";
    const QString work = qEnvironmentVariable("CLIPFORGE_KEPT_QUEUE_WORK") + QLatin1Char('/');
    AppFixture app(AppFixture::Converter::Missing);
    const QString converter = app.programFolder() + QStringLiteral("bin/ffmpeg");
    const QByteArray hang = phase == QStringLiteral("run") ? "*hang*" : "-";
    writeBytes(converter, "#!/bin/sh\nfor output; do :; done\ncase \"$output\" in " + hang + ")\n"
                        "  : > '" + work.toUtf8() + "converter-started'; exec sleep 600;; esac\n"
                        "printf converted > \"$output\"\n");
    QFile::setPermissions(converter, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    app.dialogs.questionAnswers.push_back(true);
    KeptQueue kept(app.window(), {work.toStdString() + "state/clipforge/"});
    if (phase == QStringLiteral("peer")) {
        keepRunningFor(300);
        writeBytes(work + QStringLiteral("peer.txt"),
                 QByteArray::number(kept.keeper()->keeping()) + " " + QByteArray::number(app.dialogs.questions.size()));
        return;
    }
    bool settled = false;
    kept.whenSettled([&] { settled = true; });
    ASSERT_TRUE(waitFor([&] { return settled; }));
    writeBytes(work + phase + QStringLiteral("-restored.txt"), app.sources().join('\n').toUtf8());
    click(app.window().btnConvert);
    ASSERT_TRUE(waitFor([&] { return app.hook().Command()->Stopped(); }, 120000));
}

TEST(KeptQueueSession, KilledMidRunAndStartedAgain)
{
    QTemporaryDir work;
    const QString folder = work.path() + QLatin1Char('/');
    const QStringList sources{folder + QStringLiteral("a.avi"), folder + QStringLiteral("hang.avi"),
                              folder + QStringLiteral("c.avi")};
    for (const QString& source : sources)
        writeBytes(source, "source");
    QDir().mkpath(folder + QStringLiteral("out"));
    const QString kept = folder + QStringLiteral("state/clipforge/queue.kxl");
    writeBytes(kept, listOf(sources, folder + QStringLiteral("out/")));

    const auto session = [&](const QString& phase) {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CLIPFORGE_KEPT_QUEUE_PHASE"), phase);
        environment.insert(QStringLiteral("CLIPFORGE_KEPT_QUEUE_WORK"), work.path());
        // The killed session cannot remove its own temporary folders; these go with ours.
        environment.insert(QStringLiteral("TMPDIR"), work.path());
        child->setProcessEnvironment(environment);
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=KeptQueueSession.Child")});
        return child;
    };

    const auto first = session(QStringLiteral("run"));
    // Killed once the first job's end is on the disk and the second job's converter runs.
    ASSERT_TRUE(waitFor([&] {
        return QFile::exists(folder + QStringLiteral("converter-started")) && !readBytes(kept).contains("/a.avi");
    }, 120000));
    const auto peer = session(QStringLiteral("peer"));
    ASSERT_TRUE(peer->waitForFinished(120000));
    EXPECT_EQ(readBytes(folder + QStringLiteral("peer.txt")), QByteArray("0 0")) << "a second window leaves it alone";
    first->kill();
    ASSERT_TRUE(first->waitForFinished(60000));

    const auto again = session(QStringLiteral("again"));
    ASSERT_TRUE(again->waitForFinished(120000));
    EXPECT_EQ(again->exitCode(), 0);
    EXPECT_EQ(readBytes(folder + QStringLiteral("again-restored.txt")), (sources[1] + '\n' + sources[2]).toUtf8());
    const QStringList outputs = QDir(folder + QStringLiteral("out")).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(outputs.size(), 3) << outputs.join(QStringLiteral(", ")).toStdString();
    for (const QString& output : outputs)
        EXPECT_FALSE(output.contains(QStringLiteral("_2"))) << output.toStdString();
    EXPECT_FALSE(QFile::exists(kept)) << "every job finished";
}
