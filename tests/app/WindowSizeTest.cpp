#include "AppFixture.h"

#include "app/JobTreeView.h"
#include "app/WindowPlacement.h"
#include "controls/GradientProgressBar.h"
#include "controls/ImageButton.h"
#include "controls/LinePanel.h"
#include "controls/LinkLabel.h"
#include "controls/MyButtonEx.h"
#include "dialogs/UserSettings.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScrollBar>

#include <gtest/gtest.h>

// Lets failing expectations show rectangles.
inline void PrintTo(const QRect& rect, std::ostream* out)
{
    *out << rect.x() << ',' << rect.y() << ' ' << rect.width() << 'x' << rect.height();
}

namespace {

QImage resizedLook(TmainDlg& window, QSize size)
{
    window.resize(size);
    QApplication::processEvents();
    return window.grab().toImage();
}

TEST(WindowSize, TheDesignedSizeLooksTheSameAfterAnyResizeAndNothingIsLaidOutSmaller)
{
    AppFixture app;
    TmainDlg& window = app.window();
    const QImage designed = window.grab().toImage();
    ASSERT_EQ(designed.size(), QSize(861, 529) * designed.devicePixelRatio());
    resizedLook(window, QSize(1240, 780));
    EXPECT_EQ(resizedLook(window, TmainDlg::designedSize), designed);
    // Where no window manager holds the minimum, the edge cuts the designed layout.
    const QImage cut = resizedLook(window, QSize(700, 400));
    EXPECT_EQ(cut, designed.copy(0, 0, cut.width(), cut.height()));
}

struct AnchorCase {
    const char* control;
    QWidget* (*widget)(TmainDlg&);
    QRect grown;  // its geometry once the window is 200 wider and 100 taller
};

#define CONTROL(name) #name, [](TmainDlg& window) -> QWidget* { return window.name; }

class WindowAnchorsTable : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(WindowAnchorsTable, KeepsItsEdgesWhenTheWindowGrows)
{
    AppFixture app;
    TmainDlg& window = app.window();
    window.resize(TmainDlg::designedSize + QSize(200, 100));
    QApplication::processEvents();
    const QWidget* control = GetParam().widget(window);
    EXPECT_EQ(control->geometry(), GetParam().grown) << GetParam().control;
}

INSTANTIATE_TEST_SUITE_P(
    Controls, WindowAnchorsTable,
    ::testing::Values(AnchorCase {CONTROL(lbUpdate), QRect(940, 8, 104, 18)},
                      AnchorCase {CONTROL(Image3), QRect(1049, 617, 11, 11)},
                      AnchorCase {CONTROL(lbTimer), QRect(800, 556, 244, 18)},
                      AnchorCase {CONTROL(lbCount), QRect(776, 8, 244, 18)},
                      AnchorCase {CONTROL(Image2), QRect(0, 608, 1061, 21)},
                      AnchorCase {CONTROL(ProgressBar1), QRect(16, 532, 1028, 17)},
                      AnchorCase {CONTROL(LinePanel1), QRect(16, 136, 1028, 389)},
                      AnchorCase {CONTROL(Shape1), QRect(0, 39, 1028, 1)},
                      AnchorCase {CONTROL(JobTree), QRect(0, 40, 1028, 349)},
                      AnchorCase {CONTROL(LinePanel2), QRect(0, 40, 1028, 349)},
                      AnchorCase {CONTROL(btnImport), QRect(16, 556, 121, 41)},
                      AnchorCase {CONTROL(btnExport), QRect(144, 556, 121, 41)},
                      AnchorCase {CONTROL(Image1), QRect(0, 0, 400, 200)},
                      AnchorCase {CONTROL(btnSupport), QRect(400, 16, 112, 101)},
                      AnchorCase {CONTROL(btnList), QRect(8, 14, 66, 29)},
                      AnchorCase {CONTROL(btnOption), QRect(73, 14, 66, 29)}),
    [](const auto& info) { return std::string(info.param.control); });

TEST(WindowSize, TheFileColumnTakesTheWidthAndThePictureStaysInTheCorner)
{
    AppFixture app;
    TmainDlg& window = app.window();
    clipforge::JobTreeView& list = *window.JobTree;
    window.resize(TmainDlg::designedSize + QSize(300, 150));
    QApplication::processEvents();
    EXPECT_EQ(list.columnWidth(0), 1000);
    EXPECT_EQ(list.columnWidth(1), 100);
    const QSize client = list.viewport()->size();
    EXPECT_EQ(list.backgroundOffset(), QPoint(client.width() - 256, client.height() - 256));
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
    window.resize(TmainDlg::designedSize);
    QApplication::processEvents();
    EXPECT_EQ(list.columnWidth(0), 700);
}

TEST(WindowSize, CanBeMaximised)
{
    AppFixture app;
    EXPECT_TRUE(app.window().windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(app.window().minimumSize(), TmainDlg::designedSize);
    EXPECT_GT(app.window().maximumSize().width(), 861);
}

struct PlaceCase {
    const char* name;
    QRect area;
    std::optional<clipforge::WindowPlace> remembered;
    QRect expected;
};

class OpeningPlaceTable : public ::testing::TestWithParam<PlaceCase> {};

// The frame allowed for: 32 above, 8 below and at the sides.
TEST_P(OpeningPlaceTable, IsTheRememberedPlaceOnlyWhereItFits)
{
    const PlaceCase& row = GetParam();
    EXPECT_EQ(clipforge::openingPlace(TmainDlg::designedSize, row.area, row.remembered), row.expected) << row.name;
}

const QRect fullHd(0, 0, 1920, 1080);
// 1280x800 at 150%.
const QRect smallScreen(0, 0, 853, 533);

INSTANTIATE_TEST_SUITE_P(
    Places, OpeningPlaceTable,
    ::testing::Values(
        PlaceCase {"nothing remembered", fullHd, std::nullopt, QRect(529, 287, 861, 529)},
        PlaceCase {"remembered and fitting", fullHd, clipforge::WindowPlace {QRect(100, 80, 1200, 900), false},
                   QRect(100, 80, 1200, 900)},
        PlaceCase {"remembered on a screen that has gone", fullHd,
                   clipforge::WindowPlace {QRect(2000, 80, 900, 600), false}, QRect(529, 287, 861, 529)},
        PlaceCase {"remembered larger than this screen", smallScreen,
                   clipforge::WindowPlace {QRect(8, 32, 1200, 900), false}, QRect(8, 32, 837, 493)},
        PlaceCase {"remembered smaller than designed", fullHd,
                   clipforge::WindowPlace {QRect(100, 80, 600, 400), false}, QRect(529, 287, 861, 529)},
        PlaceCase {"a screen smaller than designed keeps the title bar on it", smallScreen, std::nullopt,
                   QRect(8, 32, 837, 493)},
        PlaceCase {"a screen placed right of another", QRect(1920, 0, 1280, 1024), std::nullopt,
                   QRect(2129, 259, 861, 529)}),
    [](const auto& info) {
        std::string name;
        for (const char c : std::string(info.param.name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(WindowSize, ThePlaceIsRememberedWhenTheWindowCloses)
{
    AppFixture app;
    TmainDlg& window = app.window();
    window.setGeometry(40, 50, 1000, 600);
    QApplication::processEvents();
    window.close();
    const auto remembered = clipforge::UserSettings::mainWindowPlace();
    ASSERT_TRUE(remembered);
    EXPECT_EQ(remembered->normal, QRect(40, 50, 1000, 600));
    EXPECT_FALSE(remembered->maximised);
}

TEST(WindowSize, ABrokenRememberedPlaceIsIgnored)
{
    clipforge::test::ScopedConfigFolder configuration;
    writeBytes(clipforge::UserSettings::filePath(), "[mainWindow]\nplace=not a rectangle\nmaximised=true\n");
    EXPECT_FALSE(clipforge::UserSettings::mainWindowPlace());
}

}  // namespace
