#include "app/JobItemDelegate.h"
#include "app/JobTreeView.h"
#include "app/ProgressBox.h"
#include "core/ItemManager.h"
#include "core/TreeManager.h"

#include <QDir>
#include <QPainter>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

const QColor background(233, 234, 238);

// One 100 x 25 cell, painted alone, so every pixel is the box's doing.
QImage paintedCell(bool busy, std::uint32_t frame)
{
    QImage cell(100, 25, QImage::Format_RGB32);
    cell.fill(Qt::white);
    QPainter painter(&cell);
    clipforge::ProgressBox::paint(painter, cell.rect(), background, busy, frame);
    return cell;
}

// The columns of row y that have the frame colour.
std::vector<int> frameColumns(const QImage& cell, int y)
{
    std::vector<int> columns;
    for (int x = 0; x < cell.width(); ++x)
        if (cell.pixelColor(x, y) == clipforge::ProgressBox::frameColor())
            columns.push_back(x);
    return columns;
}

std::vector<int> range(int first, int last)
{
    std::vector<int> all;
    for (int x = first; x <= last; ++x)
        all.push_back(x);
    return all;
}

}  // namespace

TEST(ProgressBox, FrameSitsFivePixelsInsideTheCell)
{
    const QImage cell = paintedCell(false, 0);
    EXPECT_EQ(frameColumns(cell, 5), range(5, 94)) << "top line: 90 pixels";
    EXPECT_EQ(frameColumns(cell, 19), range(5, 94)) << "bottom line";
    EXPECT_EQ(frameColumns(cell, 12), (std::vector<int> {5, 94})) << "the sides only";
    EXPECT_TRUE(frameColumns(cell, 4).empty());
    EXPECT_TRUE(frameColumns(cell, 20).empty());
    EXPECT_EQ(cell.pixelColor(50, 12), background);
    EXPECT_EQ(cell.pixelColor(2, 2), QColor(Qt::white));
}

TEST(ProgressBox, BlockIsFifteenPixelsAtItsFrame)
{
    struct Case {
        std::uint32_t frame;
        std::vector<int> columns;
    };
    const Case cases[] = {
        {0, [] { auto c = range(5, 19); c.push_back(94); return c; }()},  // left border included
        {1, [] { auto c = range(5, 20); c.push_back(94); return c; }()},
        {74, [] { auto c = range(79, 94); c.insert(c.begin(), 5); return c; }()},  // last one just left of the border
    };
    for (const Case& c : cases)
        EXPECT_EQ(frameColumns(paintedCell(true, c.frame), 12), c.columns) << c.frame;
}

TEST(JobTreeView, KeepsItsPictureInTheLowerRightCorner)
{
    clipforge::JobTreeView view;
    view.resize(828, 249);
    view.setBackgroundPicture(QImage(256, 256, QImage::Format_RGB32));
    view.show();
    const QSize client = view.viewport()->size();
    EXPECT_EQ(view.backgroundOffset(), QPoint(client.width() - 256, client.height() - 256));
    view.resize(600, 400);
    const QSize larger = view.viewport()->size();
    EXPECT_EQ(view.backgroundOffset(), QPoint(larger.width() - 256, larger.height() - 256));
}

TEST(JobTreeView, RowsAreTwentyFivePixelsAndColumnsFixed)
{
    std::vector<std::string> names = {"MP4"};
    TItemManager staging;
    TTreeManager jobs(names, staging);
    staging.AddItem("/v/a.avi", 0, "");
    staging.AddItem("/v/b.avi", 0, "");
    jobs.AddJobs({"/v/a.avi", "/v/b.avi"});
    clipforge::JobTreeView view;
    view.setJobs(&jobs);
    view.resize(828, 249);
    view.show();
    EXPECT_EQ(view.visualRect(jobs.index(1, 0)).top() - view.visualRect(jobs.index(0, 0)).top(), 25);
    EXPECT_EQ(view.columnWidth(0), 700);
    EXPECT_EQ(view.columnWidth(1), 100);
    EXPECT_EQ(view.visualRect(jobs.index(0, 1)).left(), 700);
}

// Five pixels of the list's own colour on every side: rows and the scroll bar start inside them.
TEST(JobTreeView, KeepsAFivePixelBorderWidth)
{
    std::vector<std::string> names = {"MP4"};
    TItemManager staging;
    TTreeManager jobs(names, staging);
    staging.AddItem("/v/a.avi", 0, "");
    jobs.AddJobs({"/v/a.avi"});
    clipforge::JobTreeView view;
    view.setJobs(&jobs);
    view.resize(828, 249);
    view.show();
    EXPECT_EQ(view.viewport()->mapTo(&view, view.visualRect(jobs.index(0, 0)).topLeft()), QPoint(5, 5));
    const QScrollBar* bar = view.verticalScrollBar();
    const QRect scrollBar(bar->mapTo(&view, QPoint(0, 0)), bar->size());
    EXPECT_EQ(scrollBar.topRight(), QPoint(828 - 1 - 5, 5));
    EXPECT_EQ(scrollBar.bottom(), 249 - 1 - 5);
    EXPECT_EQ(view.viewport()->geometry().bottom(), 249 - 1 - 5);
    const QImage picture = view.grab().toImage();
    for (int x = 0; x < 828; x += 7) {
        EXPECT_EQ(picture.pixelColor(x, 2), background) << "top border at " << x;
        EXPECT_EQ(picture.pixelColor(x, 246), background) << "bottom border at " << x;
    }
    const QString folder = qEnvironmentVariable("CLIPFORGE_SCREENSHOT_DIR");
    if (!folder.isEmpty() && QDir().mkpath(folder)) {
        EXPECT_TRUE(picture.save(QDir(folder).filePath(QStringLiteral("job-list-border.png"))));
    }
}
