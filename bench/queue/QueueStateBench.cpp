// The window's kept queue with 10,000 jobs: what one change of the list costs the window's thread
// (the jobs are copied there, written on the keeper's own thread), against exporting the same list
// on the window's thread, in the same run; and how long the keeper's thread takes per write.
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/QueueKeeper.h"
#include "core/SaveManager.h"
#include "core/TreeManager.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int JobCount = 10000;
constexpr int Changes = 200;

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void fill(TTreeManager& jobs)
{
    std::vector<TItemData> items;
    for (int i = 0; i < JobCount; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "/home/user/Videos/Holiday 2026/clip-%06d & more.avi", i);
        items.push_back({clipforge::widen(name), i % 14, i % 3 ? QString() : QStringLiteral("/home/user/out/"), false, 0});
    }
    jobs.AppendJobs(std::move(items));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    const std::vector<std::string> profiles(14, "profile");
    TItemManager staging;
    TTreeManager jobs(profiles, staging);
    fill(jobs);

    std::vector<double> export_;
    TSaveManager saver(jobs);
    for (int i = 0; i < 20; ++i) {
        const auto start = Clock::now();
        saver.WriteList(folder.filePath(QStringLiteral("export.kxl")).toStdString());
        export_.push_back(seconds(start));
    }

    clipforge::QueueKeeper keeper(jobs, {folder.filePath(QStringLiteral("state/")).toStdString()}, 0);
    keeper.begin();
    keeper.flush();
    std::vector<double> window;
    std::vector<double> writer;
    for (int i = 0; i < Changes; ++i) {
        // A change the file must show: the job's folder, as the properties dialog changes it.
        const auto start = Clock::now();
        jobs.ChangeJob(i, 1, QStringLiteral("/elsewhere/%1/").arg(i));
        window.push_back(seconds(start));
        const auto written = Clock::now();
        keeper.flush();
        writer.push_back(seconds(written));
        QCoreApplication::processEvents();
    }
    const double anchor = median(export_);
    std::printf("kept queue, %d jobs, %d changes\n", JobCount, Changes);
    std::printf("  export on the window's thread (anchor)   %7.2f ms\n", anchor * 1e3);
    std::printf("  window's thread per change               %7.2f ms  ratio %.3f (goal well under 1)\n",
                median(window) * 1e3, median(window) / anchor);
    std::printf("  keeper's thread per write                %7.2f ms  ratio %.3f\n", median(writer) * 1e3,
                median(writer) / anchor);
    return 0;
}
