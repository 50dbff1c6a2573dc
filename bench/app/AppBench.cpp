// Start-up time and idle memory of the desktop program, each with an anchor run in the same
// way by a bare Qt program. Modes (one per process, so every run starts cold):
//   startup LAUNCH_NS        the real start-up, splash included, to the main window exposed
//   anchor-startup LAUNCH_NS a bare window shown after the same 1000 ms of dispatched events
//   memory JOBS              resident memory, idle, after the real start-up and JOBS queued jobs
//   anchor-memory            resident memory of a bare window holding an empty tree view
//   first-paint JOBS         the main window holding JOBS jobs, from show() to its job list painted
//   anchor-first-paint JOBS  a bare window with a tree view of as many rows, measured the same way
//   run AT_ONCE OUT CLIP...  the window converting the clips into OUT with AT_ONCE jobs at once,
//                            from Convert to the run's end box (the program folder is the bench's)
// LAUNCH_NS is the launcher's CLOCK_REALTIME in nanoseconds just before it started us.
#include "app/Application.h"
#include "app/JobTreeView.h"
#include "app/MainDlg.h"
#include "app/SplashDlg.h"
#include "app/StartUp.h"
#include "app/UIHook.h"
#include "core/TreeManager.h"
#include "dialogs/DialogService.h"
#include "dialogs/UserSettings.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardItemModel>
#include <QTest>
#include <QThread>
#include <QTreeView>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

double millisecondsSince(long long launchNs)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - launchNs) / 1e6;
}

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

void settle(int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

int startup(long long launchNs)
{
    const auto mainDlg = clipforge::startUp();
    mainDlg->show();
    if (!QTest::qWaitForWindowExposed(mainDlg.get()))
        return 1;
    std::printf("startup_ms %.1f\n", millisecondsSince(launchNs));
    return 0;
}

int anchorStartup(long long launchNs)
{
    settle(1000);
    QWidget window;
    window.resize(861, 529);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    std::printf("startup_ms %.1f\n", millisecondsSince(launchNs));
    return 0;
}

std::vector<TItemData> jobs(int count)
{
    std::vector<TItemData> all(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        all[static_cast<size_t>(i)].FileName = QStringLiteral("/home/someone/Videos/holiday %1.mpg").arg(i);
        all[static_cast<size_t>(i)].Format = i % 5;
        all[static_cast<size_t>(i)].Path = i % 2 ? QStringLiteral("/home/someone/Videos/converted/") : QString();
    }
    return all;
}

int memory(int count)
{
    const auto mainDlg = clipforge::startUp(0);
    mainDlg->show();
    if (!QTest::qWaitForWindowExposed(mainDlg.get()) || !mainDlg->hook())
        return 1;
    mainDlg->hook()->TreeManager()->AppendJobs(jobs(count));
    settle(500);
    std::printf("rss_mb %.1f\n", residentMegabytes());
    return 0;
}

int anchorMemory()
{
    QStandardItemModel model(0, 2);
    QTreeView view;
    view.setModel(&model);
    view.resize(861, 529);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    settle(500);
    std::printf("rss_mb %.1f\n", residentMegabytes());
    return 0;
}

// Ends when the view's viewport has been painted once.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget& viewport) { viewport.installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            QMetaObject::invokeMethod(this, [this] { painted = true; }, Qt::QueuedConnection);
        return false;
    }
};

double showAndPaint(QWidget& window, QWidget& viewport)
{
    FirstPaint paint(viewport);
    QElapsedTimer timer;
    timer.start();
    window.show();
    while (!paint.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

int firstPaint(int count)
{
    const auto mainDlg = clipforge::startUp(0);
    if (!mainDlg->hook())
        return 1;
    mainDlg->hook()->TreeManager()->AppendJobs(jobs(count));
    std::printf("first_paint_ms %.1f\n", showAndPaint(*mainDlg, *mainDlg->JobTree->viewport()));
    return 0;
}

int anchorFirstPaint(int count)
{
    QStandardItemModel model(count, 2);
    for (int row = 0; row < count; ++row)
        model.setItem(row, 0, new QStandardItem(QStringLiteral("/home/someone/Videos/holiday %1.mpg").arg(row)));
    QTreeView view;
    view.setModel(&model);
    view.resize(861, 529);
    std::printf("first_paint_ms %.1f\n", showAndPaint(view, *view.viewport()));
    return 0;
}

// Answers nothing; the run's end box ends the measurement.
class EndOfRun : public clipforge::DialogService {
public:
    QStringList openFileNames(QWidget*, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString existingDirectory(QWidget*, const QString&, const QString&) override { return {}; }
    void message(QWidget*, const QString& text, QMessageBox::Icon) override
    {
        ended = text;
        loop.quit();
    }
    bool question(QWidget*, const QString&, Preferred) override { return false; }
    int choose(QWidget*, const QString&, const QStringList&, int) override { return -1; }
    bool openUrl(const QUrl&) override { return false; }
    void execModal(QDialog&) override {}

    QString ended;
    QEventLoop loop;
};

int run(int atOnce, const QString& out, const QStringList& clips)
{
    EndOfRun dialogs;
    clipforge::ScopedDialogService scope(dialogs);
    clipforge::UserSettings::rememberJobsAtOnce(atOnce);
    const auto mainDlg = clipforge::startUp(0);
    if (!mainDlg->hook())
        return 1;
    std::vector<TItemData> queue(static_cast<size_t>(clips.size()));
    for (int i = 0; i < clips.size(); ++i)
        queue[static_cast<size_t>(i)] = {clips[i], 0, out};
    mainDlg->hook()->TreeManager()->AppendJobs(queue);
    QElapsedTimer timer;
    timer.start();
    mainDlg->hook()->btnConvertClick();
    dialogs.loop.exec();
    std::printf("run_s %.3f\n", static_cast<double>(timer.nsecsElapsed()) / 1e9);
    return dialogs.ended == QStringLiteral("Congratulations, works done!") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argv[1];
    const std::string value = argc > 2 ? argv[2] : "0";
    if (mode.rfind("anchor", 0) == 0) {
        QApplication application(argc, argv);
        if (mode == "anchor-first-paint")
            return anchorFirstPaint(std::stoi(value));
        return mode == "anchor-startup" ? anchorStartup(std::stoll(value)) : anchorMemory();
    }
    clipforge::Application application(argc, argv);
    if (mode == "run" && argc > 4) {
        QStringList clips;
        for (int i = 4; i < argc; ++i)
            clips << QString::fromLocal8Bit(argv[i]);
        return run(std::stoi(value), QString::fromLocal8Bit(argv[3]), clips);
    }
    if (mode == "first-paint")
        return firstPaint(std::stoi(value));
    return mode == "startup" ? startup(std::stoll(value)) : memory(std::stoi(value));
}
