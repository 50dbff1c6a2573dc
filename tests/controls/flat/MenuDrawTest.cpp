#include "FlatTestHelpers.h"

#include "controls/BandGradient.h"
#include "controls/MenuDraw.h"
#include "controls/PngImage.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using clipforge::Canvas;
using clipforge::Rect;
using flattest::at;
using flattest::countColor;

namespace {

// The colour a band gradient gives row y of a rect `height` rows tall, worked out band by band.
TColor bandColorAt(TColor from, TColor to, int height, int y)
{
    const double size = height / 256.0;
    for (int i = 0; i < 256; ++i) {
        if (std::nearbyint(i * size) <= y && y < std::nearbyint((i + 1) * size)) {
            const auto channel = [&](int shift) {
                const int start = (from >> shift) & 0xFF;
                const double step = (int((to >> shift) & 0xFF) - start) / 256.0;
                return (start + int(std::nearbyint((i + 1) * step))) << shift;
            };
            return TColor(channel(0) | channel(8) | channel(16));
        }
    }
    return 0xFFFFFFFF;
}

TEST(BandGradient, FirstBandIsOneStepInAndLastBandIsTheEndColour)
{
    QImage image = clipforge::makeBitmap(4, 256);
    Canvas canvas(image);
    clipforge::fillBandGradient(canvas, {0, 0, 4, 256}, 0x000000, 0xFF8000);
    EXPECT_EQ(at(image, 0, 0), clipforge::rgbColor(0, 0, 1)) << "green: 0.5 rounds to even, 0";
    EXPECT_EQ(at(image, 3, 255), 0xFF8000u);
    EXPECT_EQ(at(image, 0, 127), clipforge::rgbColor(0, 64, 128)) << "blue: 127.5 rounds to even, 128";

    for (int height : {1, 7, 20, 300}) {
        QImage tall = clipforge::makeBitmap(2, height, clBlack);
        Canvas c(tall);
        clipforge::fillBandGradient(c, {0, 0, 2, height}, 0xEFE8E4, 0xDEC5B8);
        for (int y = 0; y < height; ++y)
            ASSERT_EQ(at(tall, 1, y), bandColorAt(0xEFE8E4, 0xDEC5B8, height, y)) << height << " row " << y;
    }
    QImage untouched = clipforge::makeBitmap(2, 2, clBlack);
    Canvas c(untouched);
    clipforge::fillBandGradient(c, {0, 0, 2, 2}, clWhite, clWhite, clipforge::GradientDirection::TopToBottom, 0);
    EXPECT_EQ(at(untouched, 0, 0), clBlack) << "a band count below 1 paints nothing";
}

class MenuDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        remove_ = menu_.addAction(QStringLiteral("&Delete"));
        remove_->setStatusTip(QStringLiteral("delete selected item"));
        clear_ = menu_.addAction(QStringLiteral("&Clear"));
        clear_->setStatusTip(QStringLiteral("clear all items"));
        separator_ = menu_.addSeparator();
        properties_ = menu_.addAction(QStringLiteral("&Properties"));
        properties_->setStatusTip(QStringLiteral("show properties"));
        bare_ = menu_.addAction(QStringLiteral("Bare"));
        draw_.Attach(&menu_);
    }

    static QFont font(bool bold) { return clipforge::makeFontPoints(QStringLiteral("Trebuchet MS"), 9, bold); }
    static int captionHeight() { return QFontMetrics(font(true)).height(); }

    QMenu menu_;
    TMenuDraw draw_;
    QAction* remove_ = nullptr;
    QAction* clear_ = nullptr;
    QAction* separator_ = nullptr;
    QAction* properties_ = nullptr;
    QAction* bare_ = nullptr;
};

TEST_F(MenuDrawTest, MeasuredItemIsCaptionOverHint)
{
    const QSize size = draw_.MeasureItem(remove_);
    const int hintWidth = QFontMetrics(font(false)).horizontalAdvance(QStringLiteral("delete selected item"));
    EXPECT_NEAR(size.width(), hintWidth + 8, 1) << "the hint is the wider line";
    EXPECT_EQ(size.height(), captionHeight() + QFontMetrics(font(false)).height() + 8);
    EXPECT_EQ(draw_.MeasureItem(bare_).height(), size.height()) << "an empty hint measures one line";
    EXPECT_EQ(draw_.MeasureItem(separator_).height(), size.height());
}

TEST_F(MenuDrawTest, ShortcutWidensTheCaptionLine)
{
    QAction* open = menu_.addAction(QStringLiteral("Open a very long list of jobs"));
    TMenuDraw draw;
    draw.Attach(&menu_);
    const int without = draw.MeasureItem(open).width();
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    const int shortcut = QFontMetrics(font(true)).horizontalAdvance(open->shortcut().toString(QKeySequence::NativeText));
    EXPECT_NEAR(draw.MeasureItem(open).width(), without + shortcut + 8, 1);
}

TEST_F(MenuDrawTest, MenuLaysItemsOutAsMeasured)
{
    menu_.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu_));
    int widest = 0;
    for (QAction* action : {remove_, clear_, separator_, properties_, bare_}) {
        EXPECT_EQ(menu_.actionGeometry(action).height(), draw_.MeasureItem(action).height()) << action->text().toStdString();
        widest = std::max(widest, draw_.MeasureItem(action).width());
    }
    EXPECT_EQ(menu_.actionGeometry(remove_).width(), widest);
    EXPECT_EQ(menu_.actionGeometry(remove_).topLeft(), QPoint(1, 1));
    menu_.close();
}

TEST_F(MenuDrawTest, ShortcutsDoNotWidenTheMenuTwice)
{
    remove_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete));
    menu_.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu_));
    int widest = 0;
    for (QAction* action : {remove_, clear_, separator_, properties_, bare_})
        widest = std::max(widest, draw_.MeasureItem(action).width());
    EXPECT_EQ(menu_.actionGeometry(clear_).width(), widest);
    menu_.close();
}

TEST_F(MenuDrawTest, HighlightIsASplitRoundedGradient)
{
    const QSize size = draw_.MeasureItem(remove_);
    const QImage image = draw_.renderItem(remove_, size, true);
    const int split = captionHeight() + 4;
    EXPECT_EQ(at(image, 0, 0), TMenuDraw::ItemBackground) << "rounded corner";
    EXPECT_EQ(at(image, 1, 0), TMenuDraw::LineColor);
    EXPECT_EQ(at(image, 0, 1), TMenuDraw::LineColor);
    EXPECT_EQ(at(image, size.width() - 2, size.height() - 1), TMenuDraw::LineColor);
    EXPECT_EQ(at(image, size.width() - 1, size.height() - 1), TMenuDraw::ItemBackground);
    // The first band of a part holding fewer than 256 rows is painted by the band that first
    // reaches row 0; the rows just inside the outline show the colours the band rule gives.
    EXPECT_EQ(at(image, 2, 1), bandColorAt(TMenuDraw::HighlightLight, TMenuDraw::HighlightUpperDark, split, 1));
    EXPECT_EQ(at(image, 2, split - 1),
              bandColorAt(TMenuDraw::HighlightLight, TMenuDraw::HighlightUpperDark, split, split - 1));
    EXPECT_EQ(at(image, 2, split),
              bandColorAt(TMenuDraw::HighlightLowerDark, TMenuDraw::HighlightLight, size.height() - split, 0));
    EXPECT_EQ(at(image, 2, size.height() - 2),
              bandColorAt(TMenuDraw::HighlightLowerDark, TMenuDraw::HighlightLight, size.height() - split,
                          size.height() - split - 2));

    draw_.SplitHighlight = false;
    const QImage single = draw_.renderItem(remove_, size, true);
    EXPECT_EQ(at(single, 2, split),
              bandColorAt(TMenuDraw::HighlightLight, TMenuDraw::HighlightUpperDark, size.height(), split));
    const QImage bare = draw_.renderItem(bare_, size, true);
    draw_.SplitHighlight = true;
    EXPECT_EQ(at(draw_.renderItem(bare_, size, true), 2, split), at(bare, 2, split))
        << "an item without hint gets a single gradient";
}

TEST_F(MenuDrawTest, EnabledAndDisabledTextColours)
{
    const QSize size = draw_.MeasureItem(remove_);
    const QImage enabled = draw_.renderItem(remove_, size, false);
    EXPECT_GT(countColor(enabled, TMenuDraw::TextColor), 20);
    EXPECT_EQ(at(enabled, 1, 1), TMenuDraw::ItemBackground);
    remove_->setEnabled(false);
    const QImage disabled = draw_.renderItem(remove_, size, false);
    EXPECT_EQ(countColor(disabled, TMenuDraw::TextColor), 0);
    EXPECT_GT(countColor(disabled, TMenuDraw::DisabledTextColor), 20);
}

TEST_F(MenuDrawTest, SeparatorHasTheDoubleLineAndABoldHint)
{
    const QSize size(120, 30);
    const QImage plain = draw_.renderItem(separator_, size, false);
    EXPECT_EQ(at(plain, 5, 5), TMenuDraw::SeparatorBackground);
    EXPECT_EQ(at(plain, 0, 28), TMenuDraw::LineColor);
    EXPECT_EQ(at(plain, 119, 28), TMenuDraw::LineColor);
    EXPECT_EQ(at(plain, 60, 29), TMenuDraw::SeparatorLowerLine);
    EXPECT_EQ(at(plain, 60, 27), TMenuDraw::SeparatorBackground);
    EXPECT_EQ(countColor(plain, TMenuDraw::TextColor), 0);

    separator_->setStatusTip(QStringLiteral("Jobs"));
    const QImage withHint = draw_.renderItem(separator_, size, false);
    EXPECT_GT(countColor(withHint, TMenuDraw::TextColor), 10);
    EXPECT_EQ(at(withHint, 0, 28), TMenuDraw::LineColor);
}

TEST_F(MenuDrawTest, OnlyTheExactDashIsASeparator)
{
    QMenu menu;
    QAction* dash = menu.addAction(QStringLiteral("-"));
    QAction* spaced = menu.addAction(QStringLiteral(" - "));
    TMenuDraw draw;
    draw.Attach(&menu);
    EXPECT_TRUE(draw.paintsAsSeparator(dash));
    EXPECT_FALSE(draw.paintsAsSeparator(spaced));
    QAction* later = menu.addAction(QStringLiteral("later"));
    EXPECT_FALSE(draw.isAttached(later)) << "items added after attaching keep the usual look";
    EXPECT_EQ(draw.Menu(), &menu);
}

TEST_F(MenuDrawTest, PictureColumnWithAnImageList)
{
    TPngImageList images;
    QImage blue(16, 16, QImage::Format_ARGB32);
    blue.fill(QColor(0, 0, 255));
    images.PngImages().Add()->SetPngImage(TPngImage::fromImage(blue));
    TMenuDraw draw;
    draw.Attach(&menu_, &images);
    TMenuDraw::setImageIndex(remove_, 0);
    EXPECT_EQ(draw.MeasureItem(remove_).width(), draw_.MeasureItem(remove_).width() + 26);
    const QSize size = draw.MeasureItem(remove_);
    const QImage image = draw.renderItem(remove_, size, false);
    EXPECT_EQ(at(image, 4, 2), 0xFF0000u) << "picture at (4, 2)";
    EXPECT_EQ(at(image, 24, size.height() - 1), TMenuDraw::PictureColumnBackground);
    EXPECT_EQ(at(image, 26, size.height() - 1), TMenuDraw::LineColor);
    draw.DrawImages = false;
    EXPECT_EQ(at(draw.renderItem(remove_, size, false), 4, 2), TMenuDraw::PictureColumnBackground);
    menu_.setStyle(nullptr);
}

} // namespace

TEST_F(MenuDrawTest, ItemsOfTheSameCaptionAreEachMeasuredWithTheirOwnHint)
{
    QAction* first = menu_.addAction(QStringLiteral("&Open"));
    first->setStatusTip(QStringLiteral("short"));
    QAction* second = menu_.addAction(QStringLiteral("&Open"));
    second->setStatusTip(QStringLiteral("a hint far longer than any other line of this menu"));
    TMenuDraw draw;
    draw.Attach(&menu_);
    menu_.popup(QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu_));
    EXPECT_EQ(menu_.actionGeometry(second).width(), draw.MeasureItem(second).width())
        << "the menu is as wide as the second item's own hint";
    menu_.close();
}
