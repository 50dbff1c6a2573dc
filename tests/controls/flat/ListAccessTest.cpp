// Lists as assistive technology reads them: rows of named cells, none offering "Toggle".
#include "controls/ItemViewAccessible.h"
#include "controls/MyFlatComboBox.h"
#include "controls/MyListBox.h"

#include <QAccessible>
#include <QStandardItemModel>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

QStringList actionsOf(QAccessibleInterface* cell)
{
    return cell->actionInterface() ? cell->actionInterface()->actionNames() : QStringList();
}

}  // namespace

TEST(ListAccess, CellsAreNamedRowsThatOfferNothingToToggle)
{
    TMyListBox box;
    box.addItems({QStringLiteral("a.avi"), QStringLiteral("b.mkv")});
    TMyFlatComboBox profiles;
    profiles.addItems({QStringLiteral("a.avi"), QStringLiteral("b.mkv")});
    QStandardItemModel jobs(2, 2);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            jobs.setItem(row, column, new QStandardItem(row == 0 ? QStringLiteral("a.avi") : QStringLiteral("b.mkv")));
    QTreeView tree;
    tree.setHeaderHidden(true);
    tree.setSelectionBehavior(QAbstractItemView::SelectRows);
    clipforge::markFlatTree(tree);
    tree.setModel(&jobs);
    const struct {
        QAbstractItemView* view;
        QAccessible::Role role;
        QAccessible::Role cellRole;
        int columns;
        int firstRowChild;  // the child number the view's own focus notices give row 0
    } lists[] = {
        {&box, QAccessible::List, QAccessible::ListItem, 1, 0},
        {profiles.view(), QAccessible::List, QAccessible::ListItem, 1, 0},
        {&tree, QAccessible::Tree, QAccessible::TreeItem, 2, 2},
    };
    for (const auto& l : lists) {
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(l.view);
        ASSERT_NE(read->tableInterface(), nullptr) << l.role;
        EXPECT_EQ(read->role(), l.role);
        EXPECT_EQ(read->tableInterface()->rowCount(), 2);
        EXPECT_EQ(read->tableInterface()->columnCount(), l.columns);
        EXPECT_EQ(read->childCount(), l.firstRowChild + 2 * l.columns);
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < l.columns; ++column) {
                QAccessibleInterface* cell = read->tableInterface()->cellAt(row, column);
                ASSERT_NE(cell, nullptr) << l.role << " " << row << "," << column;
                EXPECT_EQ(cell->role(), l.cellRole);
                EXPECT_EQ(cell->text(QAccessible::Name), row == 0 ? QStringLiteral("a.avi") : QStringLiteral("b.mkv"));
                EXPECT_TRUE(actionsOf(cell).isEmpty()) << actionsOf(cell).join(u',').toStdString();
                const int child = l.firstRowChild + row * l.columns + column;
                EXPECT_EQ(read->indexOfChild(cell), child);
                EXPECT_EQ(read->child(child), cell);
                EXPECT_EQ(cell->parent(), read);
            }
        EXPECT_TRUE(read->tableInterface()->selectRow(0));
        EXPECT_TRUE(read->tableInterface()->selectRow(1));
        const QList<int> chosen = l.view->selectionMode() == QAbstractItemView::SingleSelection ? QList<int> {1} : QList<int> {0, 1};
        EXPECT_EQ(read->tableInterface()->selectedRows(), chosen) << "one row at a time where one is chosen";
        EXPECT_EQ(read->tableInterface()->selectedCellCount(), chosen.size() * l.columns);
        EXPECT_TRUE(read->tableInterface()->cellAt(1, 0)->state().selected);
        EXPECT_TRUE(read->tableInterface()->unselectRow(1));
        EXPECT_FALSE(read->tableInterface()->isRowSelected(1));
        EXPECT_FALSE(read->tableInterface()->selectRow(2)) << "no such row";
        l.view->setCurrentIndex(l.view->model()->index(0, 0));
        EXPECT_EQ(read->focusChild(), read->tableInterface()->cellAt(0, 0));
    }
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(&tree);
    for (int column = 0; column < 2; ++column) {
        EXPECT_EQ(read->child(column)->role(), QAccessible::ColumnHeader) << "numbered as the view's notices are";
        EXPECT_TRUE(read->child(column)->state().invisible) << "the job list hides its header";
        EXPECT_EQ(read->indexOfChild(read->child(column)), column);
    }
    tree.resize(300, 200);
    tree.show();
    const QRect shown = read->tableInterface()->cellAt(1, 1)->rect();
    EXPECT_EQ(read->childAt(shown.center().x(), shown.center().y()), read->tableInterface()->cellAt(1, 1));
    jobs.insertRow(0, {new QStandardItem(QStringLiteral("c.mp4")), new QStandardItem(QStringLiteral("c.mp4"))});
    QAccessibleInterface* moved = read->tableInterface()->cellAt(0, 1);
    EXPECT_EQ(moved->text(QAccessible::Name), QStringLiteral("c.mp4")) << "a row put first is read first";
}
