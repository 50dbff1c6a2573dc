#include "FlatTestHelpers.h"

#include "controls/MyFlatComboBox.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using flattest::at;

namespace {

constexpr TColor arrowColor = 0x0000FF;
constexpr TColor arrowBackground = 0x00FF00;
constexpr TColor border = 0xFF0000;
constexpr TColor background = 0x00FFFF;

class FlatComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        combo_.setStyle(csDropDownList);
        combo_.setColor(background);
        combo_.setColorArrow(arrowColor);
        combo_.setColorArrowBackground(arrowBackground);
        combo_.setColorBorder(border);
        combo_.resize(100, 22);
    }

    // Arrow box (87, 0, 100, 22): centre (93, 10).
    static constexpr int cx = 93;
    static constexpr int cy = 10;

    TMyFlatComboBox combo_;
};

TEST_F(FlatComboBoxTest, FrameAndArrowBox)
{
    const QImage image = combo_.renderImage();
    EXPECT_EQ(at(image, 0, 11), border);
    EXPECT_EQ(at(image, 1, 11), background);
    EXPECT_EQ(at(image, 2, 11), background);
    EXPECT_EQ(at(image, 87, 11), border) << "the text frame and the arrow box share a column";
    EXPECT_EQ(at(image, 99, 0), border);
    EXPECT_EQ(at(image, 88, 1), arrowBackground);
    EXPECT_EQ(at(image, 98, 20), arrowBackground);
}

TEST_F(FlatComboBoxTest, TrianglePointsDownThenUpWhenDroppedDown)
{
    const QImage down = combo_.renderImage();
    for (int x = cx - 2; x <= cx + 2; ++x)
        EXPECT_EQ(at(down, x, cy), arrowColor) << x;
    EXPECT_EQ(at(down, cx - 1, cy + 1), arrowColor);
    EXPECT_EQ(at(down, cx + 1, cy + 1), arrowColor);
    EXPECT_EQ(at(down, cx - 2, cy + 1), arrowBackground);
    EXPECT_EQ(at(down, cx, cy + 2), arrowColor);
    EXPECT_EQ(at(down, cx - 1, cy + 2), arrowBackground);
    EXPECT_EQ(flattest::countColor(down, arrowColor), 9);

    combo_.addItems({QStringLiteral("MP4"), QStringLiteral("AVI")});
    combo_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo_));
    combo_.showPopup();
    ASSERT_TRUE(combo_.DroppedDown());
    const QImage up = combo_.renderImage();
    for (int x = cx - 2; x <= cx + 2; ++x)
        EXPECT_EQ(at(up, x, cy + 2), arrowColor) << x;
    EXPECT_EQ(at(up, cx, cy), arrowColor);
    EXPECT_EQ(at(up, cx - 1, cy), arrowBackground);
    combo_.hidePopup();
    EXPECT_FALSE(combo_.DroppedDown());
}

TEST_F(FlatComboBoxTest, DisabledTriangleIsEngraved)
{
    combo_.setEnabled(false);
    const QImage image = combo_.renderImage();
    EXPECT_EQ(at(image, cx, cy), clGray);
    EXPECT_EQ(at(image, cx, cy + 2), clGray);
    EXPECT_EQ(at(image, cx + 3, cy + 1), clWhite) << "the white copy shows one pixel right and down";
    EXPECT_EQ(at(image, cx + 1, cy + 3), clWhite);
    EXPECT_EQ(flattest::countColor(image, arrowColor), 0);
}

TEST_F(FlatComboBoxTest, FocusStripReachesTheArrowBox)
{
    combo_.addItem(QStringLiteral("MP4"));
    combo_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo_));
    combo_.activateWindow();
    combo_.setFocus();
    ASSERT_TRUE(combo_.hasFocus());
    const TColor highlight = clipforge::resolveColor(clHighlight);
    const QImage image = combo_.renderImage();
    EXPECT_EQ(at(image, 100 - 11 - 8, 11), highlight) << "strip between the selection and the arrow box";
    EXPECT_EQ(at(image, 3, 11), highlight);
    combo_.clearFocus();
    EXPECT_EQ(at(combo_.renderImage(), 100 - 11 - 8, 11), background);
}

TEST_F(FlatComboBoxTest, ListHeightFollowsTheItemCount)
{
    const int row = static_cast<int>(std::nearbyint(1.125 * QFontMetrics(combo_.font()).height())) - 2;
    combo_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo_));
    struct Case {
        int items;
        int expected;
    };
    const Case cases[] = {{0, 10}, {3, 3 * row + 4}, {20, 8 * row + 4}};
    for (const Case& c : cases) {
        combo_.clear();
        for (int i = 0; i < c.items; ++i)
            combo_.addItem(QStringLiteral("profile %1").arg(i));
        EXPECT_EQ(combo_.DropDownHeight(), c.expected) << c.items;
        combo_.showPopup();
        QWidget* popup = combo_.view()->parentWidget();
        EXPECT_TRUE(popup->isVisible()) << c.items;
        EXPECT_EQ(popup->height(), c.expected) << c.items;
        EXPECT_EQ(popup->width(), combo_.width()) << c.items;
        combo_.hidePopup();
    }

    combo_.setStyle(csOwnerDrawFixed);
    combo_.setItemHeight(22);
    EXPECT_EQ(combo_.DropDownHeight(), 8 * 22 + 4);
    QFont font = combo_.font();
    font.setPixelSize(20);
    combo_.setFont(font);
    EXPECT_EQ(combo_.ItemHeight(), 13) << "a font change resets the item height";
}

// Opened with the mouse, the list shows whole rows only, 8 of them at most, and starts out at the
// current item, highlighted, however far down the list it is.
TEST_F(FlatComboBoxTest, DroppedDownListShowsWholeRowsAndTheCurrentItem)
{
    combo_.setFont(clipforge::makeFont(QStringLiteral("Trebuchet MS"), -16));
    combo_.resize(300, 30);
    combo_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo_));
    struct Case {
        int items;
        int current;
        int rowsShown;
    };
    const Case cases[] = {{19, 0, 8}, {19, 15, 8}, {19, 18, 8}, {3, 2, 3}, {8, 7, 8}};
    const int row = combo_.listRowHeight();
    for (const Case& c : cases) {
        combo_.clear();
        for (int i = 0; i < c.items; ++i)
            combo_.addItem(QStringLiteral("profile %1").arg(i));
        combo_.setCurrentIndex(c.current);
        QTest::mouseClick(&combo_, Qt::LeftButton, {}, QPoint(100, 15));
        ASSERT_TRUE(combo_.DroppedDown()) << c.items;
        QAbstractItemView* list = combo_.view();
        EXPECT_EQ(list->parentWidget()->height(), c.rowsShown * row + 4) << c.items;
        EXPECT_EQ(list->viewport()->height(), c.rowsShown * row) << "whole rows only, " << c.items;
        const QModelIndex current = combo_.model()->index(c.current, 0);
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(current)))
            << "current item " << c.current << " shown";
        EXPECT_TRUE(list->selectionModel()->isSelected(current)) << "current item " << c.current << " highlighted";
        int wholeRows = 0;
        for (int i = 0; i < c.items; ++i)
            wholeRows += list->viewport()->rect().contains(list->visualRect(combo_.model()->index(i, 0))) ? 1 : 0;
        EXPECT_EQ(wholeRows, c.rowsShown) << c.items << " items, current " << c.current;
        combo_.hidePopup();
    }
}

TEST_F(FlatComboBoxTest, EditorKeepsItsPlaceInEditableStyle)
{
    combo_.setStyle(csDropDown);
    combo_.resize(120, 30);
    combo_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo_));
    ASSERT_NE(combo_.lineEdit(), nullptr);
    EXPECT_EQ(combo_.lineEdit()->geometry(), QRect(3, 3, 120 - 11 - 8, 30 - 6));
}

} // namespace
