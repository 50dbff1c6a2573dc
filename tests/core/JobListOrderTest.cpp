// Everyday work on the job list: moving jobs, and where a finished job's output went.
#include "core/ItemManager.h"
#include "core/LocalText.h"
#include "core/RowOrder.h"
#include "core/SizeText.h"
#include "core/TreeManager.h"

#include <QPersistentModelIndex>

#include <gtest/gtest.h>

namespace {

class JobList : public ::testing::Test {
protected:
    JobList()
    {
        std::vector<TItemData> jobs;
        for (const char* name : {"a", "b", "c", "d", "e"})
            jobs.push_back({QString::fromLatin1(name), 0, QString(), false, 0});
        tree.AppendJobs(std::move(jobs));
    }

    std::string order() const
    {
        std::string names;
        for (int row = 0; row < tree.Count(); ++row)
            names += clipforge::narrow(tree.Job(row).ItemData.FileName);
        return names;
    }

    std::vector<std::string> profiles{"AVI"};
    TItemManager staging;
    TTreeManager tree{profiles, staging};
};

}  // namespace

TEST(RowOrder, MovedRowsLandTogetherInTheirOrderAtTheGap)
{
    struct Case {
        std::vector<int> rows;
        int gap;
        std::vector<int> order;
    };
    const Case cases[] = {
        {{0}, 5, {1, 2, 3, 4, 0}},           // first to the end
        {{4}, 0, {4, 0, 1, 2, 3}},           // last to the front
        {{1, 3}, 0, {1, 3, 0, 2, 4}},        // scattered rows close up
        {{1, 3}, 5, {0, 2, 4, 1, 3}},
        {{1, 2}, 2, {0, 1, 2, 3, 4}},        // a gap inside or at the edge of the moved rows
        {{1, 2}, 3, {0, 1, 2, 3, 4}},
        {{0, 4}, 2, {1, 0, 4, 2, 3}},
        {{2}, 99, {0, 1, 3, 4, 2}},          // a gap past the end is the end
        {{}, 1, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clipforge::orderAfterMove(5, c.rows, c.gap), c.order) << c.gap;
}

TEST_F(JobList, MovingJobsIsOneLayoutChangeAndSelectionFollows)
{
    const QPersistentModelIndex selected = tree.index(3, 0);
    const QPersistentModelIndex current = tree.index(0, 1);
    int layouts = 0;
    QObject::connect(&tree, &QAbstractItemModel::layoutChanged, [&] { ++layouts; });
    EXPECT_TRUE(tree.MoveRows({3, 0, 3, 42}, 5));
    EXPECT_EQ(order(), "bcead");
    EXPECT_EQ(layouts, 1);
    EXPECT_EQ(selected.row(), 4);
    EXPECT_EQ(selected.data().toString(), QStringLiteral("d"));
    EXPECT_EQ(current.row(), 3);
    EXPECT_EQ(current.column(), 1);
}

TEST_F(JobList, ALockedListRefusesToMove)
{
    tree.SetLocked(true);
    EXPECT_FALSE(tree.MoveRows({0}, 5));
    EXPECT_EQ(order(), "abcde");
}

TEST(SizeText, DecimalUnitsWithOneDecimal)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 bytes"},          {1, "1 byte"},          {999, "999 bytes"},
        {1000, "1.0 kB"},        {1049, "1.0 kB"},       {1050, "1.1 kB"},
        {12'400'000, "12.4 MB"}, {999'949, "999.9 kB"},  {999'950, "1.0 MB"},
        {1'500'000'000, "1.5 GB"}, {2'000'000'000'000, "2.0 TB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(clipforge::sizeText(bytes), text) << bytes;
}

TEST_F(JobList, OnlyAFinishedJobsHintSaysWhereItsOutputWent)
{
    struct Case {
        TJobState state;
        const char* output;
        std::int64_t size;
        const char* lastLine;
    };
    const Case cases[] = {
        {jsFinished, "/out/a_2.mp4", 12'400'000, "[output]: /out/a_2.mp4 (12.4 MB)"},
        {jsFinished, "/out/with %1 and\xc3\xa9.mkv", 5, "[output]: /out/with %1 and\xc3\xa9.mkv (5 bytes)"},
        {jsFinished, "", 0, "[path]: "},
        {jsWaiting, "/out/a.mp4", 10, "[path]: "},
    };
    for (const Case& c : cases) {
        tree.Job(0).State = c.state;
        tree.SetOutput(0, c.output, c.size);
        EXPECT_EQ(tree.Hint(0).split(QLatin1Char('\n')).last(), QString::fromUtf8(c.lastLine)) << c.output;
    }
}
