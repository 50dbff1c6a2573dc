// Start-up time and idle memory of the desktop program, each with an anchor run in the same
// way by a bare Qt program. Modes (one per process, so every run starts cold):
//   startup LAUNCH_NS        the real start-up, splash included, to the main window exposed
//   anchor-startup LAUNCH_NS a bare window shown after the same 1000 ms of dispatched events
//   memory JOBS              resident memory, idle, after the real start-up and JOBS queued jobs
//   anchor-memory            resident memory of a bare window holding an empty tree view
// LAUNCH_NS is the launcher's CLOCK_REALTIME in nanoseconds just before it started us.
#include "app/Application.h"
#include "app/MainDlg.h"
#include "app/SplashDlg.h"
#include "app/StartUp.h"
#include "app/UIHook.h"
#include "core/TreeManager.h"

#include <QElapsedTimer>
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

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argv[1];
    const std::string value = argc > 2 ? argv[2] : "0";
    if (mode.rfind("anchor", 0) == 0) {
        QApplication application(argc, argv);
        return mode == "anchor-startup" ? anchorStartup(std::stoll(value)) : anchorMemory();
    }
    clipforge::Application application(argc, argv);
    return mode == "startup" ? startup(std::stoll(value)) : memory(std::stoi(value));
}
