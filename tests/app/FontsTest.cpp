#include "AppFixture.h"

#include "app/ClockText.h"
#include "controls/LinkLabel.h"
#include "dialogs/FormStyle.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace {

bool cutsItsText(const QLabel& label)
{
    return label.width() < label.sizeHint().width() || label.height() < label.sizeHint().height();
}

// Grows to the left as far as its text needs and comes back to its place, also for a text set
// through the plain label.
TEST(Fonts, AFittedLabelGrowsTowardsItsFreeSide)
{
    QWidget form;
    const QRect place(200, 10, 60, 18);
    auto* label = clipforge::formstyle::makeFixedLabel(&form, QStringLiteral("short"), place, -12, 0, 0);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    static_cast<QLabel*>(label)->setText(QStringLiteral("a text much wider than sixty pixels"));
    label->repaint();
    EXPECT_FALSE(cutsItsText(*label));
    EXPECT_EQ(label->geometry().topRight(), place.topRight());
    label->setText(QStringLiteral("short"));
    EXPECT_EQ(label->geometry(), place);
}

// A minimal system has only DejaVu Sans, wider than the faces the window asks for.
TEST(Fonts, WithOnlyDejaVuSansNoLabelOfTheWindowCutsItsText)
{
    if (qEnvironmentVariableIsEmpty("CLIPFORGE_ONLY_DEJAVU"))
        GTEST_SKIP() << "needs a font configuration with DejaVu Sans alone: ctest runs it as app_font_tests";
    QStringList families = QFontDatabase::families();
    for (const char* alias : {"Sans Serif", "Serif", "Monospace"})
        families.removeAll(QString::fromLatin1(alias));
    ASSERT_EQ(families, QStringList {QStringLiteral("DejaVu Sans")});
    AppFixture app;
    TmainDlg& window = app.window();
    EXPECT_EQ(QFontInfo(window.lbUpdate->font()).family(), QStringLiteral("DejaVu Sans"));
    window.lbCount->setText(clipforge::counterText(10000, 10000));
    window.lbTimer->setText(clipforge::clockText(3600 * 1000 - 1));
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty()) {
            EXPECT_FALSE(cutsItsText(*label)) << label->text().toStdString();
        }
    }
    EXPECT_EQ(window.lbUpdate->geometry().right(), 740 + 104 - 1);
    EXPECT_EQ(window.lbCount->geometry().right(), 576 + 244 - 1);
    const QDir shots(qEnvironmentVariable("CLIPFORGE_SCREENSHOT_DIR"));
    if (shots.mkpath(QStringLiteral(".")))
        window.grab().save(shots.filePath(QStringLiteral("main-window-dejavu-only.png")));
}

}  // namespace
