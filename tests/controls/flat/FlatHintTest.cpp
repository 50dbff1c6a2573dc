#include "FlatTestHelpers.h"

#include "controls/FlatHintController.h"
#include "controls/MyFlatHint.h"
#include "controls/MyFlatHintWindow.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using clipforge::FlatHintController;
using clipforge::Rect;
using flattest::at;

namespace {

struct PlacementCase {
    const char* name;
    QPoint pointer;
    int corner;
    Rect bounds;
};

TEST(FlatHintPlacement, OpensAwayFromTheNearestScreenCorner)
{
    const QSize screen(1000, 800);
    const QSize size(100, 40);
    const PlacementCase cases[] = {
        {"top-left", {100, 100}, 1, {112, 112, 212, 152}},
        {"top-right", {900, 100}, 0, {795, 105, 895, 145}},
        {"bottom-left", {100, 700}, 3, {105, 655, 205, 695}},
        {"bottom-right", {900, 700}, 2, {795, 655, 895, 695}},
        {"on the vertical midline, upper half", {500, 100}, 0, {395, 105, 495, 145}},
        {"on the horizontal midline, left half", {100, 400}, 3, {105, 355, 205, 395}},
        {"just left of the midline", {499, 399}, 1, {511, 411, 611, 451}},
        {"near the right edge: opens to the left, unclamped", {995, 10}, 0, {890, 15, 990, 55}},
        {"near the left edge at the bottom: no clamping", {2, 798}, 3, {7, 753, 107, 793}},
        {"off the screen", {-5, 100}, 2, {-110, 55, -10, 95}},
    };
    for (const PlacementCase& c : cases) {
        const THintPlacement placement = TMyFlatHintWindow::placeHint(size, c.pointer, screen);
        EXPECT_EQ(placement.ArrowCorner, c.corner) << c.name;
        EXPECT_EQ(placement.Bounds, c.bounds) << c.name;
    }
}

TEST(FlatHintMeasure, SizeIsTheWrappedTextPlusMargins)
{
    TMyFlatHint settings;
    const QString text = QStringLiteral("load list from a disk file and show every one of its jobs");
    const QSize size = TMyFlatHintWindow::measureHint(text, settings);
    const QFontMetrics metrics(settings.Font());
    EXPECT_EQ((size.height() - 6) % metrics.height(), 0) << "each line is one text height, without leading";
    EXPECT_LE(size.width(), 200);
    EXPECT_GE(size.height(), 2 * metrics.height() + 6) << "a text wider than the limit wraps";
}

// Lines break at spaces only: a path or a name with "/", "-" or "." keeps its words whole.
TEST(FlatHintMeasure, WrapsBetweenWordsOnlyWithLinesOfOneTextHeight)
{
    TMyFlatHint settings;
    settings.setFont(clipforge::makeFont(QStringLiteral("Trebuchet MS"), -16));
    const QFontMetrics metrics(settings.Font());
    const QString path = QStringLiteral("/data/videos/clips/b2.mov");
    struct Case {
        const char* name;
        QString text;
        QString widestLineThatFits;
        QStringList lines;
    };
    const Case cases[] = {
        {"a path wider than the limit", path, QStringLiteral("/data/videos/"), {path}},
        {"a path between words", QStringLiteral("file ") + path + QStringLiteral(" converting"),
         QStringLiteral("/data/videos/"), {QStringLiteral("file"), path, QStringLiteral("converting")}},
        {"a profile name", QStringLiteral("MKV video (H.264 + AAC)"), QStringLiteral("MKV video (H.264"),
         {QStringLiteral("MKV video (H.264"), QStringLiteral("+ AAC)")}},
        {"a name with dashes", QStringLiteral("MPEG-2 video (DVD-compatible, PAL)"),
         QStringLiteral("MPEG-2 video"),
         {QStringLiteral("MPEG-2 video"), QStringLiteral("(DVD-compatible,"), QStringLiteral("PAL)")}},
    };
    for (const Case& c : cases) {
        settings.setMaxHintWidth(metrics.horizontalAdvance(c.widestLineThatFits) + 22);
        int widest = 0;
        for (const QString& line : c.lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const QSize expected(widest + 22, static_cast<int>(c.lines.size()) * metrics.height() + 6);
        EXPECT_EQ(TMyFlatHintWindow::measureHint(c.text, settings), expected) << c.name;
    }
}

TEST(FlatHintMeasure, OneLongWordWidensThePopUp)
{
    TMyFlatHint settings;
    const QString word(60, u'W');
    const QSize size = TMyFlatHintWindow::measureHint(word, settings);
    EXPECT_GT(size.width(), settings.MaxHintWidth());
    EXPECT_EQ(size.height(), TMyFlatHintWindow::measureHint(QStringLiteral("W"), settings).height())
        << "the word stays on one line";
}

TEST(FlatHintMeasure, AmpersandIsShownAsItself)
{
    TMyFlatHint settings;
    const QSize withAmpersand = TMyFlatHintWindow::measureHint(QStringLiteral("a&b"), settings);
    const QSize without = TMyFlatHintWindow::measureHint(QStringLiteral("ab"), settings);
    EXPECT_GT(withAmpersand.width(), without.width());
    const QImage shown = TMyFlatHintWindow::renderHint(withAmpersand, 1, QStringLiteral("a&b"), settings);
    const QImage literal = TMyFlatHintWindow::renderHint(withAmpersand, 1, QStringLiteral("a&&b"), settings);
    EXPECT_FALSE(flattest::sameImage(shown, literal)) << "\"&&\" must not collapse into one ampersand";
}

TEST(FlatHintPaint, StripFrameAndArrowInEachCorner)
{
    TMyFlatHint settings;
    settings.setColorBackground(0x00FFFF);
    settings.setColorBorder(0x0000FF);
    settings.setColorArrowBackground(0x00FF00);
    settings.setColorArrow(0xFF0000);
    const QSize size(80, 30);
    struct Case {
        int corner;
        QPoint tip;
        QPoint stripInside;
        QPoint textInside;
        QPoint beyondShaft; // the tip plus (7, 7) mirrored: outside the arrow
    };
    const Case cases[] = {
        {1, {3, 3}, {14, 20}, {16, 15}, {10, 10}},
        {0, {76, 3}, {65, 20}, {63, 15}, {69, 10}},
        {3, {3, 26}, {14, 10}, {16, 15}, {10, 19}},
        {2, {76, 26}, {65, 10}, {63, 15}, {69, 19}},
    };
    for (const Case& c : cases) {
        const QImage image = TMyFlatHintWindow::renderHint(size, c.corner, QString(), settings);
        EXPECT_EQ(at(image, 0, 0), 0x0000FFu) << c.corner;
        EXPECT_EQ(at(image, 79, 29), 0x0000FFu) << c.corner;
        EXPECT_EQ(at(image, c.tip.x(), c.tip.y()), 0xFF0000u) << c.corner;
        EXPECT_EQ(at(image, c.stripInside.x(), c.stripInside.y()), 0x00FF00u) << c.corner;
        EXPECT_EQ(at(image, c.textInside.x(), c.textInside.y()), 0x00FFFFu) << c.corner;
        const int sx = (c.corner == 1 || c.corner == 3) ? 1 : -1;
        const int sy = (c.corner == 0 || c.corner == 1) ? 1 : -1;
        // The two-pixel-thick right angle at the tip.
        EXPECT_EQ(at(image, c.tip.x() + sx, c.tip.y() + 5 * sy), 0xFF0000u) << c.corner;
        EXPECT_EQ(at(image, c.tip.x() + 5 * sx, c.tip.y() + sy), 0xFF0000u) << c.corner;
        EXPECT_EQ(at(image, c.beyondShaft.x(), c.beyondShaft.y()), 0x00FF00u) << c.corner;
    }
}

class FlatHintApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings_ = std::make_unique<TMyFlatHint>(&form_);
        form_.resize(300, 200);
        auto* layout = new QVBoxLayout(&form_);
        label_ = new QLabel(QStringLiteral("button"), &form_);
        label_->setToolTip(QStringLiteral("add video files"));
        other_ = new QLabel(QStringLiteral("other"), &form_);
        other_->setToolTip(QStringLiteral("online support"));
        list_ = new QListWidget(&form_);
        auto* item = new QListWidgetItem(QStringLiteral("job"), list_);
        item->setToolTip(QStringLiteral("[File Name]: a.avi\n[format]: MP4\n[path]: "));
        layout->addWidget(label_);
        layout->addWidget(other_);
        layout->addWidget(list_);
        form_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    }

    TMyFlatHintWindow& hintWindow() { return FlatHintController::instance()->window(); }

    QWidget form_;
    std::unique_ptr<TMyFlatHint> settings_;
    QLabel* label_ = nullptr;
    QLabel* other_ = nullptr;
    QListWidget* list_ = nullptr;
};

TEST_F(FlatHintApplicationTest, RestingPointerShowsTheControlsHint)
{
    QTest::mouseMove(label_, QPoint(5, 5));
    QTRY_VERIFY_WITH_TIMEOUT(hintWindow().isVisible(), 5000);
    EXPECT_EQ(hintWindow().windowTitle(), QStringLiteral("add video files"));
    EXPECT_EQ(hintWindow().Settings(), settings_.get());
    EXPECT_EQ(hintWindow().size(), TMyFlatHintWindow::measureHint(QStringLiteral("add video files"), *settings_));
    EXPECT_FALSE(QToolTip::isVisible());

    QTest::mouseMove(other_, QPoint(5, 5));
    QTRY_COMPARE_WITH_TIMEOUT(hintWindow().windowTitle(), QStringLiteral("online support"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(hintWindow().isVisible(), 5000);

    QTest::mousePress(other_, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(hintWindow().isVisible()) << "a click hides the hint";
    QTest::mouseRelease(other_, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(FlatHintApplicationTest, ItemViewCellsShowTheirOwnHint)
{
    const QRect cell = list_->visualItemRect(list_->item(0));
    QTest::mouseMove(list_->viewport(), cell.center());
    QTRY_VERIFY_WITH_TIMEOUT(hintWindow().isVisible(), 5000);
    EXPECT_EQ(hintWindow().windowTitle(), QStringLiteral("[File Name]: a.avi\n[format]: MP4\n[path]: "));
    EXPECT_GE(hintWindow().height(), 3 * QFontMetrics(settings_->Font()).height());
}

TEST_F(FlatHintApplicationTest, ShowHintHandlerCanRefuse)
{
    int calls = 0;
    settings_->OnShowHint = [&](QString& text, bool& canShow, THintInfo& info) {
        ++calls;
        EXPECT_EQ(text, QStringLiteral("add video files"));
        EXPECT_EQ(info.HintControl.data(), label_);
        EXPECT_EQ(info.HideTimeout, 5000);
        canShow = false;
    };
    QTest::mouseMove(label_, QPoint(5, 5));
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
    EXPECT_FALSE(hintWindow().isVisible());
}

TEST_F(FlatHintApplicationTest, ToolkitTooltipEventsAreSwallowed)
{
    QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), label_->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(label_, &event);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(FlatHintApplicationTest, ColourChangeShowsWithTheNextHintOnly)
{
    settings_->setColorBackground(0x00FFFF);
    hintWindow().ActivateHint(QRect(), QStringLiteral("first"), QPoint(100, 100));
    const QImage first = hintWindow().image();
    settings_->setColorBackground(0xFF00FF);
    hintWindow().update();
    QCoreApplication::processEvents();
    EXPECT_TRUE(flattest::sameImage(hintWindow().image(), first));
    EXPECT_EQ(at(first, first.width() - 2, first.height() - 2), 0x00FFFFu);
    hintWindow().ActivateHint(QRect(), QStringLiteral("second"), QPoint(100, 100));
    const QImage second = hintWindow().image();
    EXPECT_EQ(at(second, second.width() - 2, second.height() - 2), 0xFF00FFu);
}

TEST(FlatHintLifetime, LastSettingsComponentRemovesTheReplacement)
{
    auto first = std::make_unique<TMyFlatHint>();
    auto second = std::make_unique<TMyFlatHint>();
    EXPECT_NE(FlatHintController::instance(), nullptr);
    EXPECT_EQ(FlatHintController::findSettings(), second.get());
    second.reset();
    EXPECT_EQ(FlatHintController::findSettings(), first.get());
    first.reset();
    EXPECT_EQ(FlatHintController::instance(), nullptr);
    EXPECT_EQ(FlatHintController::findSettings(), nullptr);

    QLabel label(QStringLiteral("x"));
    label.setToolTip(QStringLiteral("tip"));
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    QTest::mouseMove(&label, QPoint(2, 2)); // nothing may reach the destroyed component
}

} // namespace
