// Time to the first painted frame of a tree view over 100,000 jobs, against a bare QTreeView over
// a minimal model filled with one insert of as many rows, in the same run. Each measurement
// starts with an empty model and ends when the view has finished its first paint. The job view is
// measured also with the kept queue following the list from the start, its first write included.
#include "app/JobTreeView.h"
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/QueueKeeper.h"
#include "core/TreeManager.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int JobCount = 100000;
constexpr int Repeats = 5;

// The least a model can be: rows of two columns that say their row number.
class MinimalModel : public QAbstractItemModel {
public:
    void fill(int rows)
    {
        beginInsertRows({}, 0, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? QModelIndex() : createIndex(row, column);
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole && index.column() == 0 ? QVariant(index.row()) : QVariant();
    }

private:
    int rows_ = 0;
};

// Any view, noting when its first paint is done.
template <typename View>
class Timed : public View {
public:
    bool painted = false;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        View::paintEvent(event);
        painted = true;
    }
};

std::vector<TItemData> sampleJobs()
{
    std::vector<TItemData> jobs;
    jobs.reserve(JobCount);
    for (int i = 0; i < JobCount; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "/home/user/Videos/Holiday 2026/clip-%06d & more.avi", i);
        jobs.push_back({clipforge::widen(name), i % 14, i % 3 ? QString() : QStringLiteral("/home/user/out/"), false, 0});
    }
    return jobs;
}

// Seconds from an empty model to the end of the first paint: fill the model, show the view,
// run the event loop until it has painted.
template <typename View, typename Model>
double firstFrame(const std::function<std::unique_ptr<Model>()>& makeModel, const std::function<void(Model&)>& fill)
{
    auto model = makeModel();
    const auto start = std::chrono::steady_clock::now();
    fill(*model);
    Timed<View> view;
    view.resize(820, 600);
    if constexpr (std::is_same_v<View, clipforge::JobTreeView>)
        view.setJobs(model.get());
    else
        view.setModel(model.get());
    view.show();
    while (!view.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::vector<std::string> profileNames(14, "profile");
    const std::vector<TItemData> jobs = sampleJobs();
    TItemManager staging;

    const auto makeJobs = [&] { return std::make_unique<TTreeManager>(profileNames, staging); };
    const auto fillJobs = [&](TTreeManager& model) { model.AppendJobs(jobs); };
    const auto makeMinimal = [] { return std::make_unique<MinimalModel>(); };
    const auto fillMinimal = [](MinimalModel& model) { model.fill(JobCount); };

    QTemporaryDir state;
    std::unique_ptr<clipforge::QueueKeeper> keeper;
    const auto fillKept = [&](TTreeManager& model) {
        model.AppendJobs(jobs);
        keeper = std::make_unique<clipforge::QueueKeeper>(model, clipforge::QueueStateFiles{state.path().toStdString() + "/"});
        keeper->begin();
    };

    std::vector<double> bare;
    std::vector<double> jobList;
    std::vector<double> jobView;
    std::vector<double> keptView;
    for (int i = 0; i < Repeats; ++i) {
        bare.push_back(firstFrame<QTreeView, MinimalModel>(makeMinimal, fillMinimal));
        jobList.push_back(firstFrame<QTreeView, TTreeManager>(makeJobs, fillJobs));
        jobView.push_back(firstFrame<clipforge::JobTreeView, TTreeManager>(makeJobs, fillJobs));
        keptView.push_back(firstFrame<clipforge::JobTreeView, TTreeManager>(makeJobs, fillKept));
        keeper.reset();
    }
    const double anchor = median(bare);
    std::printf("first painted frame, %d rows (%s platform)\n", JobCount, qPrintable(QGuiApplication::platformName()));
    std::printf("  bare QTreeView, minimal model      %7.1f ms\n", anchor * 1e3);
    std::printf("  QTreeView over the job list        %7.1f ms  ratio %.2f (goal <= 3)\n", median(jobList) * 1e3,
                median(jobList) / anchor);
    std::printf("  the program's job view (JobTreeView) %5.1f ms  ratio %.2f (goal <= 3)\n", median(jobView) * 1e3,
                median(jobView) / anchor);
    std::printf("  the job view with the kept queue     %7.1f ms  ratio %.2f (goal <= 3)\n", median(keptView) * 1e3,
                median(keptView) / anchor);
    return 0;
}
