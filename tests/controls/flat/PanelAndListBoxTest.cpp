#include "FlatTestHelpers.h"

#include "controls/LinePanel.h"
#include "controls/MyListBox.h"
#include "controls/PngImage.h"
#include "controls/PngImageList.h"

#include <QFontMetrics>
#include <QScrollBar>

#include <gtest/gtest.h>

using flattest::at;
using flattest::countColor;

namespace {

constexpr TColor panelColor = 0xFFDBBF;
constexpr TColor lineColor = 0x0000FF;

struct PanelCase {
    const char* name;
    TLineBorders borders;
    std::vector<QPoint> onLine;
    std::vector<QPoint> background;
};

TEST(LinePanel, LinesLieOnTheEdgesLastPixels)
{
    const PanelCase cases[] = {
        {"none", {}, {}, {{0, 0}, {49, 29}, {25, 0}, {0, 15}}},
        {"top", lbTop, {{0, 0}, {49, 0}}, {{0, 1}, {49, 29}}},
        {"left", lbLeft, {{0, 0}, {0, 29}}, {{1, 0}, {49, 29}}},
        {"right", lbRight, {{49, 0}, {49, 29}}, {{48, 0}, {0, 0}}},
        {"bottom", lbBottom, {{0, 29}, {49, 29}}, {{0, 28}, {0, 0}}},
        {"all", lbTop | lbLeft | lbRight | lbBottom, {{0, 0}, {49, 0}, {0, 29}, {49, 29}, {49, 15}, {25, 29}},
         {{1, 1}, {48, 28}}},
    };
    for (const PanelCase& c : cases) {
        TLinePanel panel;
        panel.resize(50, 30);
        panel.setColor(panelColor);
        panel.setLineColor(lineColor);
        panel.setLineBorders(c.borders);
        const QImage image = panel.renderImage();
        for (const QPoint& p : c.onLine)
            EXPECT_EQ(at(image, p.x(), p.y()), lineColor) << c.name << " " << p.x() << "," << p.y();
        for (const QPoint& p : c.background)
            EXPECT_EQ(at(image, p.x(), p.y()), panelColor) << c.name << " " << p.x() << "," << p.y();
    }
}

TEST(LinePanel, BorderWidthKeepsLinesAndChildrenInside)
{
    TLinePanel panel;
    panel.resize(50, 30);
    panel.setColor(panelColor);
    panel.setLineColor(lineColor);
    panel.setLineBorders(lbRight | lbBottom);
    panel.setBorderWidth(5);
    const QImage image = panel.renderImage();
    EXPECT_EQ(at(image, 44, 10), lineColor);
    EXPECT_EQ(at(image, 10, 24), lineColor);
    EXPECT_EQ(at(image, 49, 29), panelColor);
    EXPECT_EQ(panel.contentsRect(), QRect(5, 5, 40, 20));
}

TEST(LinePanel, DisabledCaptionIsEngraved)
{
    TLinePanel panel;
    panel.resize(120, 30);
    panel.setColor(panelColor);
    panel.setFont(clipforge::makeFont(QStringLiteral("Trebuchet MS"), -16, true));
    panel.setCaption(QStringLiteral("Options"));
    panel.setFontColor(0x0000FF);
    EXPECT_GT(countColor(panel.renderImage(), 0x0000FF), 10);
    panel.setEnabled(false);
    const QImage image = panel.renderImage();
    EXPECT_EQ(countColor(image, 0x0000FF), 0);
    EXPECT_GT(countColor(image, clipforge::resolveColor(clBtnShadow)), 10);
    EXPECT_GT(countColor(image, clipforge::resolveColor(clBtnHighlight)), 10);
}

class MyListBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        images_.SetWidth(32);
        images_.SetHeight(32);
        QImage red(32, 32, QImage::Format_ARGB32);
        red.fill(QColor(255, 0, 0));
        images_.PngImages().Add()->SetPngImage(TPngImage::fromImage(red));
        list_.resize(200, 120);
        list_.setFont(clipforge::makeFont(QStringLiteral("Trebuchet MS"), -16));
        list_.setItemHeight(35);
        list_.setColor(clWhite);
        list_.setFontColor(0x797993);
        list_.addItem(QStringLiteral("clip.avi"));
        list_.addItem(QString(80, u'W'));
    }

    TPngImageList images_;
    TMyListBox list_;
};

// The first column, from the left, where the row differs from the given background.
int firstColumnNotIn(const QImage& row, TColor background, int fromX)
{
    for (int x = fromX; x < row.width(); ++x)
        for (int y = 0; y < row.height(); ++y)
            if (at(row, x, y) != background)
                return x;
    return -1;
}

TEST_F(MyListBoxTest, RowLayoutPictureThenText)
{
    list_.setImageList(&images_);
    const QImage row = list_.renderItem(0, TMyListBox::isNormal);
    ASSERT_EQ(row.height(), 35);
    EXPECT_EQ(at(row, 4, 1), 0x0000FFu) << "picture at (4, (35 - 32) / 2)";
    EXPECT_EQ(at(row, 35, 32), 0x0000FFu);
    EXPECT_EQ(at(row, 3, 1), clWhite);
    EXPECT_EQ(at(row, 4, 0), clWhite);
    EXPECT_EQ(at(row, 36, 1), clWhite);
    const int textStart = firstColumnNotIn(row, clWhite, 36);
    EXPECT_GE(textStart, 32 + 8);
    EXPECT_LE(textStart, 32 + 8 + 2);
    EXPECT_GT(countColor(row, 0x797993), 10);
}

TEST_F(MyListBoxTest, WithoutImageListThePictureIsSkipped)
{
    const QImage row = list_.renderItem(0, TMyListBox::isNormal);
    EXPECT_EQ(countColor(row, 0x0000FF), 0);
    const int textStart = firstColumnNotIn(row, clWhite, 0);
    EXPECT_GE(textStart, 8);
    EXPECT_LE(textStart, 10);
}

TEST_F(MyListBoxTest, SelectedAndFocusedRowsAreLightBlueWithBlueText)
{
    list_.setImageList(&images_);
    for (int state : {int(TMyListBox::isSelected), int(TMyListBox::isFocused),
                      int(TMyListBox::isSelected | TMyListBox::isFocused)}) {
        const QImage row = list_.renderItem(0, state);
        EXPECT_EQ(at(row, 0, 0), TMyListBox::SelectionColor) << state;
        EXPECT_EQ(at(row, row.width() - 1, 34), TMyListBox::SelectionColor) << state;
        EXPECT_EQ(at(row, 2, 17), TMyListBox::SelectionColor) << state;
        EXPECT_GT(countColor(row, TMyListBox::SelectionTextColor), 10) << state;
        EXPECT_EQ(countColor(row, clipforge::resolveColor(clHighlight)), 0) << state;
        EXPECT_EQ(countColor(row, 0x797993), 0) << state;
    }
}

TEST_F(MyListBoxTest, WideRowsNeverScrollSideways)
{
    list_.show();
    EXPECT_EQ(list_.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QImage row = list_.renderItem(1, TMyListBox::isNormal);
    EXPECT_LE(row.width(), list_.width());
    EXPECT_EQ(list_.horizontalScrollBar()->maximum(), 0);
}

} // namespace
