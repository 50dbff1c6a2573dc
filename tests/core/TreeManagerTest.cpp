#include "core/Errors.h"
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/TreeManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

TItemData job(const char* fileName, int format = 0, const char* path = "")
{
    return {QString::fromUtf8(fileName), format, QString::fromUtf8(path), false, 0};
}

// Records the model's notifications the way a view would see them.
struct ModelLog {
    explicit ModelLog(QAbstractItemModel& model)
    {
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &context, [this](const QModelIndex&, int first, int last) {
            events.push_back("insert " + std::to_string(first) + "-" + std::to_string(last));
        });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &context, [this](const QModelIndex&, int first, int last) {
            events.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
        });
        QObject::connect(&model, &QAbstractItemModel::modelReset, &context, [this] { events.push_back("reset"); });
        QObject::connect(&model, &QAbstractItemModel::dataChanged, &context, [this](const QModelIndex& a, const QModelIndex& b) {
            events.push_back("changed " + std::to_string(a.row()) + "," + std::to_string(a.column()) + "-" +
                             std::to_string(b.row()) + "," + std::to_string(b.column()));
        });
    }
    std::vector<std::string> events;
    QObject context;  // cuts the connections when the log goes
};

class TreeManagerTest : public ::testing::Test {
protected:
    std::vector<std::string> names{"AVI", "WebM", "MP4"};
    TItemManager staging;
    TTreeManager tree{names, staging};

    std::vector<std::string> fileNames() const
    {
        std::vector<std::string> result;
        for (int row = 0; row < tree.Count(); ++row)
            result.push_back(clipforge::narrow(tree.Job(row).ItemData.FileName));
        return result;
    }
    void appendNumbered(int count)
    {
        std::vector<TItemData> jobs;
        for (int i = 0; i < count; ++i)
            jobs.push_back(job(std::to_string(i).c_str()));
        tree.AppendJobs(std::move(jobs));
    }
};

}  // namespace

TEST_F(TreeManagerTest, AddJobsAppendsInOrderWithTheStagedProfileAndFolder)
{
    tree.AppendJobs({job("/old.avi")});
    staging.AddItem("ignored-1", 2, "/out/");
    staging.AddItem("ignored-2", 1, "");
    staging.AddItem("ignored-3", -1, "/other/");
    ModelLog log(tree);

    tree.AddJobs({"/v/a.avi", "/v/Caf\xE9.mpg", "/v/c.mov"});

    EXPECT_EQ(fileNames(), (std::vector<std::string>{"/old.avi", "/v/a.avi", "/v/Caf\xE9.mpg", "/v/c.mov"}));
    const int formats[] = {2, 1, -1};
    const char* paths[] = {"/out/", "", "/other/"};
    for (int i = 0; i < 3; ++i) {
        const TItemNodeData& node = tree.Job(i + 1);
        EXPECT_EQ(node.Kind, 1);
        EXPECT_EQ(node.State, jsWaiting);
        EXPECT_EQ(node.ItemData.Format, formats[i]);
        EXPECT_EQ(node.ItemData.Path, QString::fromUtf8(paths[i]));
        EXPECT_FALSE(node.ItemData.Busy);
        EXPECT_EQ(node.ItemData.Frame, 0u);
    }
    EXPECT_EQ(staging.Count(), 0);
    EXPECT_EQ(log.events, (std::vector<std::string>{"insert 1-3"}));
}

TEST_F(TreeManagerTest, AddJobsWithNoNamesChangesNothing)
{
    staging.AddItem("/v/a.avi", 0, "");
    ModelLog log(tree);
    tree.AddJobs({});
    EXPECT_EQ(tree.Count(), 0);
    EXPECT_EQ(staging.Count(), 1);
    EXPECT_TRUE(log.events.empty());
}

TEST_F(TreeManagerTest, AddJobsWithTooFewStagedItemsKeepsTheJobsBuiltBeforeTheError)
{
    staging.AddItem("/v/a.avi", 1, "");
    EXPECT_THROW(tree.AddJobs({"/v/a.avi", "/v/b.avi"}), EListError);
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"/v/a.avi"}));
    EXPECT_EQ(staging.Count(), 1);
}

TEST_F(TreeManagerTest, ColumnsShowFileNameStateAndNothingInTheProgressColumn)
{
    tree.AppendJobs({job("/v/a.avi", 2, "/out/")});
    tree.SetState(0, jsFailed);
    const QModelIndex name = tree.index(0, 0);
    const QModelIndex box = tree.index(0, 1);
    EXPECT_EQ(tree.columnCount(), 2);
    EXPECT_EQ(tree.data(name).toString(), "/v/a.avi");
    EXPECT_EQ(tree.data(name, Qt::DecorationRole).toInt(), jsFailed);
    EXPECT_EQ(tree.data(box).toString(), QString());
    EXPECT_FALSE(tree.data(box, Qt::DecorationRole).isValid());
    EXPECT_FALSE(tree.data(box, Qt::ToolTipRole).isValid());
    EXPECT_FALSE(tree.parent(name).isValid());
    EXPECT_EQ(tree.rowCount(name), 0);
    EXPECT_FALSE(tree.index(1, 0).isValid());
    EXPECT_FALSE(tree.index(0, 2).isValid());
}

TEST_F(TreeManagerTest, ProgressColumnCarriesBusyAndFrame)
{
    tree.AppendJobs({job("/v/a.avi")});
    tree.SetBusy(0, true);
    tree.SetFrame(0, 74);
    EXPECT_TRUE(tree.data(tree.index(0, 1), TTreeManager::BusyRole).toBool());
    EXPECT_EQ(tree.data(tree.index(0, 1), TTreeManager::FrameRole).toUInt(), 74u);
}

TEST_F(TreeManagerTest, HintLines)
{
    struct Case {
        int format;
        const char* path;
        const char* hint;
    };
    const Case cases[] = {
        {2, "/out/", "[File Name]: /v/a.avi\n[format]: MP4\n[path]: /out/"},
        {0, "", "[File Name]: /v/a.avi\n[format]: AVI\n[path]: "},
        {-1, "", "[File Name]: /v/a.avi\n[format]: (none)\n[path]: "},
        {3, "", "[File Name]: /v/a.avi\n[format]: (none)\n[path]: "},
        {7, "%1 %2", "[File Name]: /v/a.avi\n[format]: (none)\n[path]: %1 %2"},
    };
    for (const Case& c : cases) {
        tree.AppendJobs({job("/v/a.avi", c.format, c.path)});
        const QModelIndex index = tree.index(tree.Count() - 1, 0);
        EXPECT_EQ(tree.data(index, Qt::ToolTipRole).toString(), QString::fromUtf8(c.hint)) << c.format;
    }
    EXPECT_EQ(tree.Hint(tree.Count()), QString());
}

TEST_F(TreeManagerTest, DeleteRowsRemovesEachRunOfRowsFromTheBack)
{
    appendNumbered(8);
    ModelLog log(tree);
    EXPECT_TRUE(tree.DeleteRows({6, 1, 2, 99, -1, 2, 7}));
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"0", "3", "4", "5"}));
    EXPECT_EQ(log.events, (std::vector<std::string>{"remove 6-7", "remove 1-2"}));
}

TEST_F(TreeManagerTest, DeletingManyScatteredRowsKeepsTheOthersInOrder)
{
    appendNumbered(1000);
    QList<int> odd;
    for (int row = 1; row < 1000; row += 2)
        odd.append(row);
    ModelLog log(tree);
    EXPECT_TRUE(tree.DeleteRows(odd));
    ASSERT_EQ(tree.Count(), 500);
    for (int row = 0; row < 500; ++row)
        EXPECT_EQ(tree.Job(row).ItemData.FileName, QString::number(row * 2));
    EXPECT_EQ(log.events, (std::vector<std::string>{"reset"}));
}

TEST_F(TreeManagerTest, ALockedListRefusesDeleteClearAndChanges)
{
    appendNumbered(3);
    tree.SetLocked(true);
    EXPECT_FALSE(tree.DeleteRows({0}));
    EXPECT_FALSE(tree.Clear());
    EXPECT_FALSE(tree.ChangeJob(0, 2, "/x/"));
    EXPECT_EQ(tree.Count(), 3);
    EXPECT_EQ(tree.Job(0).ItemData.Format, 0);
    tree.SetLocked(false);
    EXPECT_TRUE(tree.ChangeJob(0, 2, "/x/"));
    EXPECT_EQ(tree.Job(0).ItemData.Path, "/x/");
    EXPECT_TRUE(tree.Clear());
    EXPECT_EQ(tree.Count(), 0);
}

// Each change tells the views about both columns of its row, and only when something changed.
TEST_F(TreeManagerTest, EveryChangeOfAJobNotifiesItsRowOnce)
{
    struct Case {
        const char* change;
        std::function<void(TTreeManager&)> apply;
        int changes;
    };
    const Case cases[] = {
        {"state", [](TTreeManager& t) { t.SetState(1, jsConverting); }, 1},
        {"same state", [](TTreeManager& t) { t.SetState(1, jsWaiting); }, 0},
        {"failure", [](TTreeManager& t) { t.SetFailure(1, "stopped"); }, 1},
        {"progress", [](TTreeManager& t) { t.SetProgress(1, "10%"); }, 1},
        {"busy", [](TTreeManager& t) { t.SetBusy(1, true); }, 1},
        {"not busy", [](TTreeManager& t) { t.SetBusy(1, false); }, 0},
        {"frame", [](TTreeManager& t) { t.SetFrame(1, 3); }, 1},
        {"profile", [](TTreeManager& t) { t.ChangeJob(1, 2, "/x/"); }, 1},
    };
    for (const Case& c : cases) {
        tree.Clear();
        appendNumbered(3);
        ModelLog log(tree);
        c.apply(tree);
        EXPECT_EQ(log.events, std::vector<std::string>(c.changes, "changed 1,0-1,1")) << c.change;
    }
    EXPECT_THROW(tree.SetState(3, jsFailed), EListError);
    EXPECT_THROW(tree.SetFrame(-1, 0), EListError);
}

// A failure reason belongs to a failed job, a progress text to a converting one, a moving block to
// a busy one.
TEST_F(TreeManagerTest, NotesFollowTheJobsState)
{
    appendNumbered(1);
    tree.SetFailure(0, "stopped");
    EXPECT_EQ(tree.Job(0).State, jsFailed);
    EXPECT_EQ(tree.Job(0).FailureReason, "stopped");
    tree.SetState(0, jsConverting);
    EXPECT_EQ(tree.Job(0).FailureReason, "");
    tree.SetProgress(0, "42%");
    tree.SetBusy(0, true);
    tree.SetFrame(0, 9);
    EXPECT_TRUE(tree.Hint(0).endsWith("\n[progress]: 42%"));
    tree.SetBusy(0, false);
    EXPECT_EQ(tree.Job(0).ItemData.Frame, 0u);
    tree.SetState(0, jsFinished);
    EXPECT_EQ(tree.Job(0).Progress, "");
}

TEST_F(TreeManagerTest, MoveRowsPutsTheRowsInTheirOrderBeforeTheDestination)
{
    struct Case {
        QList<int> rows;
        int destination;
        std::vector<std::string> order;
    };
    const Case cases[] = {
        {{3}, 0, {"3", "0", "1", "2", "4"}},
        {{0}, 5, {"1", "2", "3", "4", "0"}},
        {{4, 1, 1, 9, -2}, 3, {"0", "2", "1", "4", "3"}},
        {{0, 2, 4}, 2, {"1", "0", "2", "4", "3"}},
        {{1, 2}, 2, {"0", "1", "2", "3", "4"}},
        {{1}, 99, {"0", "2", "3", "4", "1"}},
        {{}, 0, {"0", "1", "2", "3", "4"}},
    };
    for (const Case& c : cases) {
        tree.Clear();
        appendNumbered(5);
        EXPECT_TRUE(tree.MoveRows(c.rows, c.destination));
        EXPECT_EQ(fileNames(), c.order) << c.destination;
    }
}

TEST_F(TreeManagerTest, MovedJobsKeepTheirPersistentIndexesAndALockedListRefuses)
{
    appendNumbered(4);
    const QPersistentModelIndex third(tree.index(2, 1));
    const QPersistentModelIndex first(tree.index(0, 0));
    int layouts = 0;
    QObject::connect(&tree, &QAbstractItemModel::layoutChanged, [&] { ++layouts; });
    EXPECT_TRUE(tree.MoveRows({2}, 0));
    EXPECT_EQ(third.row(), 0);
    EXPECT_EQ(third.column(), 1);
    EXPECT_EQ(first.row(), 1);
    EXPECT_EQ(layouts, 1);
    tree.SetLocked(true);
    EXPECT_FALSE(tree.MoveRows({0}, 4));
    EXPECT_EQ(fileNames(), (std::vector<std::string>{"2", "0", "1", "3"}));
}

TEST_F(TreeManagerTest, JobOutsideTheListIsAListError)
{
    appendNumbered(1);
    EXPECT_THROW(tree.Job(1), EListError);
    EXPECT_THROW(tree.Job(-1), EListError);
}
